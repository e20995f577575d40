// Setup on a machine whose processor is not its own: the files it picks for the machine, and the
// modules of either processor read, registered and removed without loading the other's.
#include <gtest/gtest.h>
#include <windows.h>
#include "Check.h"
#include "DialogWatcher.h"
#include "FolderTree.h"
#include "Installation.h"
#include "NativeArchitecture.h"
#include "ProgramRunner.h"
#include "Removal.h"
#include "SetupTestSupport.h"

namespace {

USHORT g_fakeMachine = IMAGE_FILE_MACHINE_AMD64;
std::vector<std::string> g_commandLines;

bool RecordRun(const ProgramRun& run)
{
    g_commandLines.push_back(std::string(run.commandLine.GetString()));
    return true;
}

// The machine the tests pretend to be, and every program Setup would start, recorded instead.
class OtherMachine : public testing::Test {
protected:
    void SetUp() override
    {
        RemoveAnyInstallation();
        g_commandLines.clear();
        m_previousQuery = SetMachineQuery([]() { return g_fakeMachine; });
        m_previousRunner = SetProgramRunner(&RecordRun);
    }
    void TearDown() override
    {
        SetProgramRunner(m_previousRunner);
        SetMachineQuery(m_previousQuery);
        RemoveAnyInstallation();
    }

private:
    MachineQuery m_previousQuery = nullptr;
    ProgramRunner m_previousRunner = nullptr;
};

std::string Arm64ModulePath()
{
    return BinFolder() + "\\arm64\\Morvane.dll";
}

}

TEST(NativeArchitecture, WineOnX64ReportsX64)
{
    EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, NativeMachine());
}

TEST_F(OtherMachine, OnlyTheModuleItsRunnerAndThePackageComeFromTheMachinesOwnFolder)
{
    const struct {
        USHORT machine;
        const char* file;
        const char* folder;
    } cases[] = {
        { IMAGE_FILE_MACHINE_ARM64, "Morvane.dll", "arm64\\" }, { IMAGE_FILE_MACHINE_ARM64, "morvane.msix", "arm64\\" },
        { IMAGE_FILE_MACHINE_ARM64, "MorvaneRun.exe", "arm64\\" },
        { IMAGE_FILE_MACHINE_ARM64, "Setup.exe", "" },          { IMAGE_FILE_MACHINE_ARM64, "Morvane.cer", "" },
        { IMAGE_FILE_MACHINE_AMD64, "Morvane.dll", "" },        { IMAGE_FILE_MACHINE_AMD64, "Morvane.msix", "" },
        { IMAGE_FILE_MACHINE_AMD64, "MorvaneRun.exe", "" },
    };
    for (const auto& c : cases) {
        g_fakeMachine = c.machine;
        EXPECT_STREQ(c.folder, NativeFileFolder(c.file)) << c.machine << " " << c.file;
    }
}

TEST(NativeArchitecture, ModulesOfEitherProcessorAreReadWithoutLoadingTheOther)
{
    std::string x64 = Narrow(BuiltModulePath()), arm64 = Arm64ModulePath();
    EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, FileMachine(x64.c_str()));
    EXPECT_EQ(IMAGE_FILE_MACHINE_ARM64, FileMachine(arm64.c_str()));
    EXPECT_TRUE(LoadsHere(x64.c_str()));
    EXPECT_FALSE(LoadsHere(arm64.c_str()));
    for (const std::string& module : { x64, arm64 }) {
        EXPECT_TRUE(ModuleExports(module.c_str(), "DllRegisterServer")) << module;
        EXPECT_TRUE(ModuleExports(module.c_str(), "DllUnregisterServer")) << module;
        EXPECT_FALSE(ModuleExports(module.c_str(), "DllRegister")) << module;
    }
}

// A real installation and removal for each machine: the files of its processor are copied; the x64
// module registers itself in this process, the ARM64 one through the system's regsvr32.
TEST_F(OtherMachine, InstallsTheMachinesModuleAndRemovesIt)
{
    for (USHORT machine : { IMAGE_FILE_MACHINE_AMD64, IMAGE_FILE_MACHINE_ARM64 }) {
        g_fakeMachine = machine;
        g_commandLines.clear();
        CInstallFolder destination("Native");
        std::string module = destination / "Morvane.dll";
        CreateFolderTree(destination.Path().c_str());
        UINT step = 0;
        while (RunInstallStep(destination.Path().c_str(), step)) {
        }
        EXPECT_EQ(4u, step);
        EXPECT_EQ(machine, FileMachine(module.c_str()));
        EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, FileMachine((destination / "Setup.exe").c_str()));
        std::string server;
        bool registeredHere = ReadText(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kHandlerClsid + "\\InprocServer32",
                                       nullptr, server);
        std::string registration = "\" /s \"" + module + "\"";
        if (machine == IMAGE_FILE_MACHINE_AMD64) {
            EXPECT_EQ(module, server);
        } else {
            EXPECT_FALSE(registeredHere);
            ASSERT_FALSE(g_commandLines.empty());
            EXPECT_NE(std::string::npos, g_commandLines.back().find("\\regsvr32.exe" + registration))
                << g_commandLines.back();
        }

        {
            CDialogWatcher completion;  // "Uninstall Complete"
            RemoveInstallation();
        }
        EXPECT_FALSE(FileExists(module));
        if (machine == IMAGE_FILE_MACHINE_ARM64) {
            ASSERT_FALSE(g_commandLines.empty());
            EXPECT_NE(std::string::npos, g_commandLines.back().find("\\regsvr32.exe\" /s /u \"" + module + "\""))
                << g_commandLines.back();
        } else {
            EXPECT_FALSE(ReadText(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kHandlerClsid + "\\InprocServer32",
                                  nullptr, server));
        }
    }
}

// The check ("/c") of an ARM64 installation finds the module's entry point without loading it.
TEST_F(OtherMachine, TheCheckReadsTheArm64ModulesEntryPoint)
{
    CInstallFolder folder("Check");
    CreateFolderTree(folder.Path().c_str());
    std::string module = folder / "Morvane.dll";
    CopyInto(Narrow(BuiltModulePath()), module);
    ASSERT_TRUE(RegisterModuleAt(module));
    CopyInto(Arm64ModulePath(), module);
    CString report;
    EXPECT_TRUE(BuildCheckReport(report)) << report.GetString();
    EXPECT_NE(std::string::npos, std::string(report.GetString()).find("Code module loaded.\r\nEntry point loaded.\r\n"))
        << report.GetString();
}
