// The builder's own texts: every message, caption, hint and file filter its forms show
// from code (the dialog templates carry the rest). A wording is changed here, once.
#pragma once
#include <string>

namespace texts {

// The main window
inline constexpr char kAppTitle[] = "Tandrel-Install Configuration Builder";
inline constexpr char kHelpFile[] = "TandrelBuilder.hlp";
inline constexpr char kPageBuilder[] = "Builder";
inline constexpr char kPageMoreInformation[] = "More Information";
inline constexpr char kNew[] = "&New";
inline constexpr char kHintNew[] = "New File";
inline constexpr char kActOpen[] = "&Open";
inline constexpr char kHintOpen[] = "Open or Import a file";
inline constexpr char kActSave[] = "&Save";
inline constexpr char kHintSave[] = "Save the current file";
inline constexpr char kActBuild[] = "&Build...";
inline constexpr char kHintBuild[] = "Build the current installation";
inline constexpr char kMenuFile[] = "&File";
inline constexpr char kMenuSaveAs[] = "Save &As...";
inline constexpr char kHintSaveAs[] = "Save the current file with a different name.";
inline constexpr char kMenuReopen[] = "&Reopen";
inline constexpr char kHintReopen[] = "Re-open a file";
inline constexpr char kMenuNone[] = "<None>";
inline constexpr char kMenuExit[] = "E&xit";
inline constexpr char kHintExit[] = "Close this application";
inline constexpr char kMenuAction[] = "&Action";
inline constexpr char kMenuHelp[] = "&Help";
inline constexpr char kMenuContents[] = "&Contents";
inline constexpr char kHintContents[] = "Tandrel-Install help file";
inline constexpr char kMenuContacting[] = "Contacting &us";
inline constexpr char kHintContacting[] = "How to contact us";
inline constexpr char kMenuAbout[] = "&About...";
inline constexpr char kHintAbout[] = "About Tandrel-Install";
inline constexpr char kHintReopenFile[] = "Re-open : ";
inline constexpr char kInvalidFileFormat[] = "Invalid file format.";
inline constexpr char kSaveChangesFirst[] = "The current file has changed. Save your changes first?";
inline constexpr char kProjectFilter[] = "Tandrel-Install Configuration File (*.zem)|*.zem";
inline constexpr char kOpenProjectFilter[] =
    "Tandrel-Install Configuration File (*.zem)|*.zem|InstallShield files (*.iwz)|*.iwz";

// The section table
inline constexpr char kSecGeneral[] = "&General Settings";
inline constexpr char kSecGeneralHint[] = "General settings";
inline constexpr char kSecScreens[] = "&Screens...";
inline constexpr char kSecScreensHint[] = "Configure the main screen";
inline constexpr char kSecFiles[] = "&Files/Groups...";
inline constexpr char kSecFilesHint[] = "Define Files and Groups";
inline constexpr char kSecDialogs[] = "&Dialogs/Extensions...";
inline constexpr char kSecDialogsHint[] = "Configure the dialog boxes and extensions";
inline constexpr char kSecIcons[] = "&Program Icons...";
inline constexpr char kSecIconsHint[] = "Select Icons";
inline constexpr char kSecIni[] = "&Ini Files...";
inline constexpr char kSecIniHint[] = "Configure INI files";
inline constexpr char kSecRegistry[] = "&Registry...";
inline constexpr char kSecRegistryHint[] = "Configure the registry";

// Shared by the forms
// The group MainFileGroup makes for a project without groups.
inline constexpr char kDefaultMainGroup[] = "Program Files";
inline constexpr char kExecutableFilter[] =
    "Executable file (*.exe; *.com; *.bat)|*.exe;*.com;*.bat|All Files (*.*)|*.*";
inline constexpr char kExecutableOrHelpFilter[] =
    "Executable file (*.exe; *.com; *.bat)|*.exe;*.com;*.bat|Help Files (*.hlp)|*.hlp|All Files (*.*)|*.*";
inline constexpr char kColName[] = "Name";
inline constexpr char kColLocation[] = "Location";
inline constexpr char kColSize[] = "Size";
inline constexpr char kColTimeStamp[] = "TimeStamp";
inline constexpr char kColInstallPath[] = "Install Path";
inline constexpr char kColDescription[] = "Description";
inline constexpr char kColFile[] = "File";
inline constexpr char kColParams[] = "Params";
inline constexpr char kColWhen[] = "When";
inline constexpr char kColValue[] = "Value";
inline constexpr char kColData[] = "Data";
inline constexpr char kProperties[] = "&Properties...";
inline constexpr char kDelete[] = "&Delete";
inline constexpr char kRename[] = "&Rename";
inline constexpr char kExpand[] = "Expand";
inline constexpr char kCollapse[] = "Collapse";
inline constexpr char kOK[] = "OK";
inline constexpr char kDeleteItem[] = "Are you sure you want to delete this item?";
inline constexpr char kDeleteKey[] = "Are you sure you want to delete this key?";
inline constexpr char kDeleteValue[] = "Are you sure you want to delete this value?";
inline constexpr char kPageGeneral[] = "General";

// General settings
inline constexpr char kGeneralCaption[] = "Application Information";

// The build
inline constexpr char kBuildCaption[] = "Progress";
inline constexpr char kBuildValidatingBaggage[] = "Validating Baggage";
inline constexpr char kBuildValidatingFiles[] = "Validating Files";
inline constexpr char kBuildBuildingImage[] = "Building Image";
inline constexpr char kBuildSuccessful[] = "Successful Build";
inline constexpr char kBuildCompressingGroup[] = "Compressing group : ";
inline constexpr char kBuildImageSize[] = "Image Size : ";

// The rich-text editor
inline constexpr char kEdUndo[] = "&Undo";
inline constexpr char kEdCut[] = "Cu&t";
inline constexpr char kEdCopy[] = "&Copy";
inline constexpr char kEdPaste[] = "&Paste";
inline constexpr char kEdHintUndo[] = "Undo|Undo the last action";
inline constexpr char kEdHintCut[] = "Cut|Delete selected item";
inline constexpr char kEdHintCopy[] = "Copy|Copy selected item to clipboard";
inline constexpr char kEdHintPaste[] = "Paste|Paste contents of clipboard";
inline constexpr char kEdHintBold[] = "Bold";
inline constexpr char kEdHintItalic[] = "Italic";
inline constexpr char kEdHintUnderline[] = "Underline";
inline constexpr char kEdHintLeft[] = "Align Left";
inline constexpr char kEdHintCenter[] = "Center";
inline constexpr char kEdHintRight[] = "Align Right";
inline constexpr char kEdHintBullets[] = "Bullets|Enter bullet mode";
inline constexpr char kEdHintFontName[] = "Font Name|Select font name";
inline constexpr char kEdHintFontSize[] = "Font Size|Select font size";

// The project file picker
inline constexpr char kPageSelectFile[] = "Select File";

// The file groups editor and its property dialogs
inline constexpr char kPageFileGroups[] = "File Groups";
inline constexpr char kPageComponents[] = "Components";
inline constexpr char kPageInstallationTypes[] = "Installation Types";
inline constexpr char kGroupProperties[] = "Group Properties";
inline constexpr char kPageComponent[] = "Component";
inline constexpr char kFileProperties[] = "File Properties";
inline constexpr char kActNewGroup[] = "&New...";
inline constexpr char kHintNewGroup[] = "New File Group";
inline constexpr char kActAddFiles[] = "&Add Files...";
inline constexpr char kHintAddFiles[] = "Add Files to current Group";
inline constexpr char kPropertiesText[] = "Properties";
inline constexpr char kActMoveUp[] = "Move Up";
inline constexpr char kActMoveDown[] = "Move Down";
inline constexpr char kActNewComponent[] = "&New Component...";
inline constexpr char kHintNewComponent[] = "New Component";
inline constexpr char kActComponentNewGroup[] = "New &Group...";
inline constexpr char kHintNewGroupOfComponent[] = "New Group";
inline constexpr char kDeleteText[] = "Delete";
inline constexpr char kActInstallTypeNewComponent[] = "New &Component...";
inline constexpr char kRemoveSelectedFiles[] = "Remove the selected files from the installation?";
inline constexpr char kRemoveSelectedGroups[] = "Remove the selected groups from the installation?";
inline constexpr char kRemoveSelectedComponents[] = "Remove the selected components from the installation?";
inline constexpr char kDeleteGroupHint[] = "Delete Group";
inline constexpr char kDeleteSelectedFilesHint[] = "Delete Selected Files";
inline constexpr char kNotAvailable[] = "Not Available";

// The wizard dialogs editor, its extensions and the extension dialog
inline constexpr char kPageDialogs[] = "Dialogs";
inline constexpr char kPageExtensions[] = "Extensions";
inline constexpr char kLoadFromFile[] = "&Load from file...";
inline constexpr char kBackgroundColor[] = "Background &Color...";
inline constexpr char kUseEditor[] = "Use &Editor...";
inline constexpr char kWordWrap[] = "&Word wrap";
inline constexpr char kNewExecutable[] = "&Executable...";
inline constexpr char kNewDll[] = "&DLL...";
inline constexpr char kMoveUpMenu[] = "Move &up";
inline constexpr char kMoveDownMenu[] = "Move &down";
inline constexpr char kTextFilter[] = "Text Files (*.txt)|*.txt|Rich Text (*.rtf)|*.rtf";
inline constexpr char kRemoveSelectedExtension[] = "Remove the selected extension from the installation?";
inline constexpr char kChooseDllWhen[] = "Choose when the DLL extension is to be executed.";
inline constexpr char kPageExecutable[] = "Executable";
inline constexpr char kPageDll[] = "DLL";
inline constexpr char kSelectExtension[] = "Select extension";
inline constexpr char kExtensionFilter[] = "Application Extension (*.dll)|*.dll|All Files (*.*)|*.*";
inline constexpr char kPictureFilter[] =
    "All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf";

// The background screen editor and its screen objects
inline constexpr char kPageScreenSettings[] = "Screen Settings";
inline constexpr char kPageScreenObjects[] = "Sceen Objects";

// The shortcuts editor
inline constexpr char kPageIcons[] = "Icons";
inline constexpr char kActNewShortcut[] = "&New shortcut...";
inline constexpr char kHintNewIcon[] = "New Icon";
inline constexpr char kHintIconProperties[] = "Icon Properties";
inline constexpr char kHintDeleteSelected[] = "Delete Selected";
inline constexpr char kRemoveSelectedIcon[] = "Remove the selected icon from the installation?";

// The INI files and registry editors
inline constexpr char kPageIniFiles[] = "Ini Files";
inline constexpr char kPageRegistry[] = "Registry";
inline constexpr char kNewIniFile[] = "New &File";
inline constexpr char kNewSection[] = "New &Section";
inline constexpr char kNewIniValue[] = "New &Value";
inline constexpr char kModifyIni[] = "&Modify";
inline constexpr char kNewKey[] = "&Key";
inline constexpr char kNewStringValue[] = "&String Value";
inline constexpr char kNewBinaryValue[] = "&Binary Value";
inline constexpr char kNewDWordValue[] = "&DWORD Value";
inline constexpr char kUninstallKey[] = "&Uninstall key";
inline constexpr char kModify[] = "Modify";
inline constexpr char kNewIniFileStem[] = "New Ini File #";
inline constexpr char kNewSectionStem[] = "New Section #";
inline constexpr char kNewValueStem[] = "New Value #";
inline constexpr char kNewKeyStem[] = "New Key #";
inline constexpr char kDefineString[] = "Define String Value";
inline constexpr char kDefineBinary[] = "Define Binary Value";
inline constexpr char kDefineDWord[] = "Define DWORD Value";
inline constexpr char kDefineIni[] = "Define INI Value";

// Composed texts
inline constexpr char kMsgBuildError[] = "Error during build...";
inline constexpr char kMsgOverwrite[] = "This file already exists. Overwrite it?";
inline constexpr char kMsgNotSaved[] =
    "Save the project before building it: the setup file is named after the project file.";
inline std::string CannotSaveFile(const std::string& file) { return "Cannot save the file " + file + "."; }
inline std::string ReplaceExistingFile(const std::string& file) {
  return file + " already exists.\nDo you want to replace it?";
}
inline std::string RemoveGroup(const std::string& group) {
  return "Remove the group '" + group + "' from the installation?";
}
inline std::string RemoveComponent(const std::string& component) {
  return "Remove the component '" + component + "' from the installation?";
}
inline std::string PictureUnreadable(const std::string& file) { return "The picture " + file + " cannot be read."; }
inline std::string NotAnInteger(const std::string& text) { return "'" + text + "' is not a valid integer value"; }
inline std::string CannotCreateFile(const std::string& file) { return "Cannot create file " + file; }
inline std::string CannotCreateFolder(const std::string& folder) { return "Cannot create folder " + folder; }
inline std::string ArchiveTooLarge(const std::string& file) { return "The archive " + file + " is larger than 2 GB"; }
inline std::string OutputWouldReplace(const std::string& output, const std::string& what) {
  return "The setup file '" + output + "' would replace " + what +
         ". Save the project under another name before building it.";
}
inline constexpr char kTheStub[] = "the launcher stub \"Setup.exe\" that every build needs";
inline constexpr char kTheEngine[] = "the setup engine \"TandrelInstall.exe\" that every build needs";
inline constexpr char kTheProjectFile[] = "the project file itself";
inline std::string FilesLine(const std::string& count, const std::string& size) {
  return "Files : " + count + "   Size : " + size;
}
inline std::string SizeInBytes(const std::string& shortText, const std::string& digits) {
  return shortText + " (" + digits + " bytes)";
}

// Lists of names
inline constexpr const char* kPlatformNames[] = {"Windows 95", "Windows 98", "Windows NT 4.0", "Windows NT 5.0"};
inline constexpr const char* kPositionCaptions[] = {"Top Left", "Top Right", "Bottom Left", "Bottom Right", "Center"};
inline constexpr const char* kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                              "July",    "August",   "September", "October", "November", "December"};
inline constexpr const char* kDialogCaptions[] = {
    "Welcome Message", "Software License Agreement", "Readme Information", "User Information",
    "Choose Destination Location", "Setup Type", "Custom Setup", "Select Program Folder",
    "Start Copying Files", "Progress Indicator", "Billboards", "Setup Complete"};

}  // namespace texts
