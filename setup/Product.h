// The names and texts that identify this product to the installer and to the platform.
#pragma once

#define MORVANE_VERSION_TEXT    "1.93"
#define MORVANE_PUBLISHER       "Zeph Software"

constexpr char kModuleFile[] = "Morvane.dll";
constexpr char kInstallerFile[] = "Setup.exe";
// The program Windows 11's menu has Explorer start for a command that shows windows: the module
// looks for it beside its own file.
constexpr char kRunnerFile[] = "MorvaneRun.exe";
// The package of Windows 11's menu and its signing certificate, beside the module when built.
constexpr char kPackageFile[] = "Morvane.msix";
constexpr char kCertificateFile[] = "Morvane.cer";
constexpr char kPackageName[] = MORVANE_PACKAGE_NAME;
// The package's external location, a folder of its own below the installation folder (registering a
// folder changes its permissions), holding the files the manifest names.
constexpr char kModernFolder[] = "Modern";
constexpr const char* kModernFiles[] = { kModuleFile, kRunnerFile };
// The Active Setup component that registers the package for the other accounts.
constexpr char kActiveSetupId[] = MORVANE_COMMAND_CLSID;
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Morvane";
constexpr char kUninstallKeyBelowSoftware[] = "Microsoft\\Windows\\CurrentVersion\\Uninstall\\Morvane";
constexpr char kPreviousProductKey[] = "Tovarik\\Quarnel";
constexpr char kMenuHandlerProgId[] = "Morvane.MenuHandler.1";
constexpr char kMenuHandlerHook[] = "*\\shellex\\ContextMenuHandlers\\MorvaneMenu";
