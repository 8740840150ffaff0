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

// The setup wizard and its component group picker.
#define IDS_WIZ_RESTART_LATER 65200
#define IDS_WIZ_RESTART_LATER_TEXT " &No, I will restart Windows later."
#define IDS_WIZ_COMPLETE_REMOVE_DISKS 65201
#define IDS_WIZ_COMPLETE_REMOVE_DISKS_TEXT "Remove any disks from their drives, then click Finish to complete installation of %s."
#define IDS_WIZ_COMPLETE_CLICK_FINISH 65202
#define IDS_WIZ_COMPLETE_CLICK_FINISH_TEXT "Please click the Finish button to complete the installation of %s."
#define IDS_WIZ_RUN_APP 65203
#define IDS_WIZ_RUN_APP_TEXT " &Run %s now."
#define IDS_WIZ_VIEW_README 65204
#define IDS_WIZ_VIEW_README_TEXT " &View the ReadMe file."
#define IDS_WIZ_CONFIRM_CANCEL 65205
#define IDS_WIZ_CONFIRM_CANCEL_TEXT "Setup is not complete. If you quit the setup process now, the program will not be installed.\r\rAre you sure you want to quit the setup routine?"
#define IDS_WIZ_CREATE_DIR 65206
#define IDS_WIZ_CREATE_DIR_TEXT "The directory does not exist. Do you want Setup to create it for you?"
#define IDS_WIZ_EXISTING_FOLDER 65216
#define IDS_WIZ_EXISTING_FOLDER_TEXT "&Existing Folder:"
#define IDS_WIZ_COPY_TITLE 65217
#define IDS_WIZ_COPY_TITLE_TEXT "Start Copying Files"
#define IDS_WIZ_COPY1 65218
#define IDS_WIZ_COPY1_TEXT "Setup has enough information to start copying the program files. If you want to review or change any settings, click Back. If you are happy with your selections, click Next to start copying files."
#define IDS_WIZ_COPY2 65219
#define IDS_WIZ_COPY2_TEXT "Current &Settings:"
#define IDS_WIZ_SET_SETUP_TYPE 65220
#define IDS_WIZ_SET_SETUP_TYPE_TEXT "Setup Type:"
#define IDS_WIZ_SET_TYPICAL 65221
#define IDS_WIZ_SET_TYPICAL_TEXT "    Typical"
#define IDS_WIZ_SET_COMPACT 65222
#define IDS_WIZ_SET_COMPACT_TEXT "    Compact"
#define IDS_WIZ_SET_CUSTOM 65223
#define IDS_WIZ_SET_CUSTOM_TEXT "    Custom"
#define IDS_WIZ_SET_FULL 65224
#define IDS_WIZ_SET_FULL_TEXT "    Full"
#define IDS_WIZ_SET_TARGET 65225
#define IDS_WIZ_SET_TARGET_TEXT "Target Folder:"
#define IDS_WIZ_SET_USER 65226
#define IDS_WIZ_SET_USER_TEXT "User Information:"
#define IDS_WIZ_SET_GROUP 65227
#define IDS_WIZ_SET_GROUP_TEXT "Program Group:"
#define IDS_WIZ_COMPLETE_TITLE 65228
#define IDS_WIZ_COMPLETE_TITLE_TEXT "Setup Complete"
#define IDS_WIZ_COMPLETE1 65229
#define IDS_WIZ_COMPLETE1_TEXT "Setup has successfully installed and configured %s on your computer."
#define IDS_WIZ_COMPLETE2 65230
#define IDS_WIZ_COMPLETE2_TEXT "Before you can run %s, you must first restart Windows."
#define IDS_WIZ_RESTART_NOW 65231
#define IDS_WIZ_RESTART_NOW_TEXT " I want to &restart Windows now."
#define IDS_WIZ_LOCATION1 65232
#define IDS_WIZ_LOCATION1_TEXT "Setup will install %s to the following location."
#define IDS_WIZ_LOCATION2 65233
#define IDS_WIZ_LOCATION2_TEXT "To install to this location, click &Next."
#define IDS_WIZ_LOCATION3 65234
#define IDS_WIZ_LOCATION3_TEXT "To install to a different location, click &Browse and select another location."
#define IDS_WIZ_LOCATION4 65235
#define IDS_WIZ_LOCATION4_TEXT "You can choose not to install %s by clicking Cancel to exit this installation"
#define IDS_WIZ_TYPE_TITLE 65236
#define IDS_WIZ_TYPE_TITLE_TEXT "Install Type"
#define IDS_WIZ_TYPE1 65237
#define IDS_WIZ_TYPE1_TEXT "Select the type of installation you prefer, then click Next."
#define IDS_WIZ_TYPE2 65238
#define IDS_WIZ_TYPE2_TEXT "Program will be installed with the most common options. Recommended for most users."
#define IDS_WIZ_TYPE3 65239
#define IDS_WIZ_TYPE3_TEXT "Program will be installed with the minimum required options."
#define IDS_WIZ_TYPE4 65240
#define IDS_WIZ_TYPE4_TEXT "You can choose the options to install. Recommended for advanced users."
#define IDS_WIZ_CUSTOM_TITLE 65241
#define IDS_WIZ_CUSTOM_TITLE_TEXT "Select Components"
#define IDS_WIZ_CUSTOM1 65242
#define IDS_WIZ_CUSTOM1_TEXT "Select the components you want to install, clear the components you do not want to install."
#define IDS_WIZ_SPACE_REQUIRED 65243
#define IDS_WIZ_SPACE_REQUIRED_TEXT "Space required :"
#define IDS_WIZ_SPACE_AVAILABLE 65244
#define IDS_WIZ_SPACE_AVAILABLE_TEXT "Space available :"
#define IDS_WIZ_FOLDERS_TITLE 65245
#define IDS_WIZ_FOLDERS_TITLE_TEXT "Select Program Folder"
#define IDS_WIZ_FOLDERS1 65246
#define IDS_WIZ_FOLDERS1_TEXT "Setup will add program icons to the Program Folder listed below. You may type a new folder name or select an existing one from the Existing Folders list. Click Next to continue."
#define IDS_WIZ_FOLDERS2 65247
#define IDS_WIZ_FOLDERS2_TEXT "&Program Folder:"
#define IDS_WIZ_WELCOME2 65248
#define IDS_WIZ_WELCOME2_TEXT "It is strongly recommended that you shut down all Windows applications before running this installation."
#define IDS_WIZ_WELCOME3 65249
#define IDS_WIZ_WELCOME3_TEXT "Click Cancel to exit Setup and close any applications you have running. Click Next to continue the installation."
#define IDS_WIZ_WELCOME4 65250
#define IDS_WIZ_WELCOME4_TEXT ""
#define IDS_WIZ_WELCOME5 65251
#define IDS_WIZ_WELCOME5_TEXT ""
#define IDS_WIZ_LICENSE_TITLE 65252
#define IDS_WIZ_LICENSE_TITLE_TEXT "Software License Agreement"
#define IDS_WIZ_LICENSE1 65253
#define IDS_WIZ_LICENSE1_TEXT "Please read the following License Agreement for %s. Press the PAGE DOWN key, or use the scrollbars to read the rest of the agreement."
#define IDS_WIZ_LICENSE2 65254
#define IDS_WIZ_LICENSE2_TEXT "Do you accept all the terms of the preceding License Agreement? If you choose No, the installation will terminate. To install %s, you must accept this agreement."
#define IDS_WIZ_README_TITLE 65255
#define IDS_WIZ_README_TITLE_TEXT "Product Information"
#define IDS_WIZ_README1 65256
#define IDS_WIZ_README1_TEXT "Information:"
#define IDS_WIZ_USER_TITLE 65257
#define IDS_WIZ_USER_TITLE_TEXT "User Information"
#define IDS_WIZ_USER1 65258
#define IDS_WIZ_USER1_TEXT "Enter your name below. You must also enter the name of the Company you work for."
#define IDS_WIZ_USER_NAME 65260
#define IDS_WIZ_USER_NAME_TEXT "&Name:"
#define IDS_WIZ_USER_COMPANY 65261
#define IDS_WIZ_USER_COMPANY_TEXT "&Company:"
#define IDS_WIZ_LOCATION_TITLE 65263
#define IDS_WIZ_LOCATION_TITLE_TEXT "Choose Destination Directory"
#define IDS_GRP_SPACE_AVAILABLE 65264
#define IDS_GRP_SPACE_AVAILABLE_TEXT "Space available :"
#define IDS_WIZ_BACK 65265
#define IDS_WIZ_BACK_TEXT "&Back"
#define IDS_WIZ_NEXT 65266
#define IDS_WIZ_NEXT_TEXT "&Next"
#define IDS_WIZ_CANCEL 65267
#define IDS_WIZ_CANCEL_TEXT "Cancel"
#define IDS_WIZ_FINISH 65268
#define IDS_WIZ_FINISH_TEXT "Finish"
#define IDS_WIZ_YES 65269
#define IDS_WIZ_YES_TEXT "Yes"
#define IDS_WIZ_NO 65270
#define IDS_WIZ_NO_TEXT "No"
#define IDS_WIZ_WELCOME_TITLE 65271
#define IDS_WIZ_WELCOME_TITLE_TEXT "Welcome"
#define IDS_WIZ_BROWSE 65272
#define IDS_WIZ_BROWSE_TEXT "B&rowse"
#define IDS_WIZ_TYPICAL 65273
#define IDS_WIZ_TYPICAL_TEXT " &Typical"
#define IDS_WIZ_COMPACT 65274
#define IDS_WIZ_COMPACT_TEXT " C&ompact"
#define IDS_WIZ_CUSTOM 65275
#define IDS_WIZ_CUSTOM_TEXT " &Custom"
#define IDS_WIZ_INSTALL_TO 65276
#define IDS_WIZ_INSTALL_TO_TEXT " Install to "
#define IDS_WIZ_DESCRIPTION 65277
#define IDS_WIZ_DESCRIPTION_TEXT " Description "
#define IDS_WIZ_CHANGE 65278
#define IDS_WIZ_CHANGE_TEXT "&Change..."
#define IDS_WIZ_WELCOME1 65279
#define IDS_WIZ_WELCOME1_TEXT "Welcome to the %s Setup program. This program will install %s on your computer."
#define IDS_GRP_CONTINUE 65291
#define IDS_GRP_CONTINUE_TEXT "Continue"
#define IDS_GRP_DESCRIPTION 65292
#define IDS_GRP_DESCRIPTION_TEXT " Description "
#define IDS_GRP_TITLE 65293
#define IDS_GRP_TITLE_TEXT "Select Sub-components"
#define IDS_GRP_GROUPS1 65294
#define IDS_GRP_GROUPS1_TEXT "Select the components you want to install, clear the components you do not want to install."
#define IDS_GRP_SPACE_REQUIRED 65295
#define IDS_GRP_SPACE_REQUIRED_TEXT "Space required :"

// Copy progress and the shortcut/INI/registry progress.
#define IDS_COPY_ERROR 65285
#define IDS_COPY_ERROR_TEXT "An Error occurred while extracting a file:\r\r"
#define IDS_COPY_CONTINUE 65286
#define IDS_COPY_CONTINUE_TEXT "\r\rContinue with the Installation?"
#define IDS_COPY_CANCEL 65287
#define IDS_COPY_CANCEL_TEXT "Setup is not complete. If you quit the Setup now, the program will not be installed.\r\rYou can run the setup at a later date to complete the installation\r\rAre you sure you want to quit the installation?."
#define IDS_OTHER_ICONS 65288
#define IDS_OTHER_ICONS_TEXT "Creating Program Icons"
#define IDS_OTHER_INI 65289
#define IDS_OTHER_INI_TEXT "Updating INI Files"
#define IDS_OTHER_REGISTRY 65290
#define IDS_OTHER_REGISTRY_TEXT "Updating Registry Settings"

// The uninstaller and its shared-file question.
#define IDS_UNI_NO 65184
#define IDS_UNI_NO_TEXT "&No"
#define IDS_UNI_NO_TO_ALL 65185
#define IDS_UNI_NO_TO_ALL_TEXT "N&o to &All"
#define IDS_UNI_CAPTION 65186
#define IDS_UNI_CAPTION_TEXT "Tandrel-Uninstaller"
#define IDS_UNI_CONFIRM 65187
#define IDS_UNI_CONFIRM_TEXT "\rAre you sure you want to completely remove '%s', and all of it's components?"
#define IDS_UNI_NO_LOG 65188
#define IDS_UNI_NO_LOG_TEXT "\rAn error occurred while attempting to uninstall '%s'"
#define IDS_UNI_INTRO 65189
#define IDS_UNI_INTRO_TEXT "Tandrel-UnInstall will remove '%s' from your computer. Please wait until each of the following components is removed..."
#define IDS_UNI_OK 65190
#define IDS_UNI_OK_TEXT "OK"
#define IDS_UNI_STEP0 65191
#define IDS_UNI_STEP0_TEXT "Shared program files..."
#define IDS_UNI_STEP1 65192
#define IDS_UNI_STEP1_TEXT "Standard program files..."
#define IDS_UNI_STEP2 65193
#define IDS_UNI_STEP2_TEXT "Program directories..."
#define IDS_UNI_STEP3 65194
#define IDS_UNI_STEP3_TEXT "Program icons..."
#define IDS_UNI_STEP4 65195
#define IDS_UNI_STEP4_TEXT "Initialization files..."
#define IDS_UNI_STEP5 65196
#define IDS_UNI_STEP5_TEXT "Registry entries..."
#define IDS_UNI_COMPLETE 65197
#define IDS_UNI_COMPLETE_TEXT "Uninstall completed successfully"
#define IDS_UNI_INCOMPLETE 65198
#define IDS_UNI_INCOMPLETE_TEXT "Uninstall completed. Some elements could not be removed. You should remove items related to the application manually."
#define IDS_UNI_SHARED_CAPTION 65209
#define IDS_UNI_SHARED_CAPTION_TEXT "Remove Shared File?"
#define IDS_UNI_SHARED_TEXT1 65210
#define IDS_UNI_SHARED_TEXT1_TEXT "The system indicates that the following shared file is no longer used by any programs. If any programs still require this file and it is removed, those programs may not function correctly. Are you sure you want to remove the shared file?"
#define IDS_UNI_SHARED_TEXT2 65211
#define IDS_UNI_SHARED_TEXT2_TEXT "Leaving this file will not harm your system. If you are unsure what to do, it is suggested that you choose not to remove this shared component."
#define IDS_UNI_FILE_NAME 65212
#define IDS_UNI_FILE_NAME_TEXT "File Name:"
#define IDS_UNI_LOCATION 65213
#define IDS_UNI_LOCATION_TEXT "Location:"
#define IDS_UNI_YES 65214
#define IDS_UNI_YES_TEXT "&Yes"
#define IDS_UNI_YES_TO_ALL 65215
#define IDS_UNI_YES_TO_ALL_TEXT "Yes to &All"
#define IDS_BKG_CAPTION 65207
#define IDS_BKG_CAPTION_TEXT "Setup"
#define IDS_ERR_CONFIG 65208
#define IDS_ERR_CONFIG_TEXT "Invalid configuration file. Cannot continue."

// Extensions (the project model's runner).
#define IDS_EXT_ERROR 65307
#define IDS_EXT_ERROR_TEXT "An error occurred while executing a Tandrel-Install Extension: \r\r   %s\r\rSetup will now terminate."
#define IDS_EXT_LOAD_FAILED 65308
#define IDS_EXT_LOAD_FAILED_TEXT "Error loading extension '%s'"
#define IDS_EXT_NOT_EXPORTED 65309
#define IDS_EXT_NOT_EXPORTED_TEXT "Function '%s' is not exported by '%s'"
#define IDS_EXT_FOLDER_TOO_LONG 65310
#define IDS_EXT_FOLDER_TOO_LONG_TEXT "Installation folder too long for extension '%s'"
