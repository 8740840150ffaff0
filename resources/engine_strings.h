// String ids and texts of the setup engine's string table. The resource script and the
// portable code both take the texts from here, so native builds show the same words.
#pragma once

#define IDS_ERR_ADD_FILE 65326
#define IDS_ERR_ADD_FILE_TEXT "Could not add file '%s'"
#define IDS_ERR_BACKUP 65327
#define IDS_ERR_BACKUP_TEXT "Could not make a backup of '%s'"
#define IDS_ERR_INSTALL_FILE 65296
#define IDS_ERR_INSTALL_FILE_TEXT "Error installing the file '%s'"
#define IDS_ERR_SHORTCUT 65297
#define IDS_ERR_SHORTCUT_TEXT "Could not create the icon for '%s'"
#define IDS_ERR_CREATE_UNINSTALLER 65298
#define IDS_ERR_CREATE_UNINSTALLER_TEXT "Error while creating the uninstaller for '%s'"
#define IDS_ERR_REMOVE_UNINSTALLER 65299
#define IDS_ERR_REMOVE_UNINSTALLER_TEXT "Error while removing the uninstaller for '%s'"
#define IDS_ERR_OLE_INIT 65300
#define IDS_ERR_OLE_INIT_TEXT "Error initializing OLE"
#define IDS_ERR_REGISTER_SERVER 65301
#define IDS_ERR_REGISTER_SERVER_TEXT "Error registering server '%s'"
#define IDS_ERR_UNREGISTER_SERVER 65302
#define IDS_ERR_UNREGISTER_SERVER_TEXT "Error un-registering server '%s'"
#define IDS_ERR_FILE_MISSING 65303
#define IDS_ERR_FILE_MISSING_TEXT "Error: the file '%s' does not exist"
#define IDS_ERR_REGISTRY 65304
#define IDS_ERR_REGISTRY_TEXT "Error updating registry"
#define IDS_SIZE_K 65305
#define IDS_SIZE_K_TEXT "%s K"
