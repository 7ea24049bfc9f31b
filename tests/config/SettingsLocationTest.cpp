#include "SettingsLocation.h"
#include "ConfigFile.h"
#include "TempDirectory.h"
#include "Utf8Path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <stdlib.h>
#endif

namespace fs = std::filesystem;

namespace {

using Environment = std::map<std::string, std::string>;

EnvironmentLookup LookupIn(Environment environment) {
    return [environment](const std::string& name) -> std::optional<std::string> {
        const auto found = environment.find(name);
        if (found == environment.end()) {
            return std::nullopt;
        }
        return found->second;
    };
}

} // namespace

TEST(SettingsLocation, UserDirectoryFollowsThePlatformRule) {
    const struct {
        const char* name;
        Environment environment;
        std::optional<std::string> expected;
    } cases[] = {
#if defined(_WIN32)
        {"APPDATA",
         {{"APPDATA", "C:\\Users\\Jan\\AppData\\Roaming"}},
         "C:\\Users\\Jan\\AppData\\Roaming\\qal-terminal\\"},
        {"with a separator at its end", {{"APPDATA", "D:\\Dane\\"}}, "D:\\Dane\\qal-terminal\\"},
        {"empty", {{"APPDATA", ""}}, std::nullopt},
        {"only POSIX variables", {{"XDG_CONFIG_HOME", "C:\\x"}, {"HOME", "C:\\y"}}, std::nullopt},
#else
        {"XDG_CONFIG_HOME",
         {{"XDG_CONFIG_HOME", "/srv/jan"}, {"HOME", "/home/jan"}},
         "/srv/jan/qal-terminal/"},
        {"with a slash at its end", {{"XDG_CONFIG_HOME", "/cfg/"}}, "/cfg/qal-terminal/"},
        {"HOME", {{"HOME", "/home/jan"}}, "/home/jan/.config/qal-terminal/"},
        {"empty XDG_CONFIG_HOME",
         {{"XDG_CONFIG_HOME", ""}, {"HOME", "/home/jan"}},
         "/home/jan/.config/qal-terminal/"},
        {"relative XDG_CONFIG_HOME",
         {{"XDG_CONFIG_HOME", "cfg"}, {"HOME", "/home/jan"}},
         "/home/jan/.config/qal-terminal/"},
        {"only APPDATA", {{"APPDATA", "/x"}}, std::nullopt},
#endif
        {"nothing", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(UserSettingsDirectory(LookupIn(c.environment)), c.expected);
    }
}

TEST(SettingsLocation, BesideTheExecutableUnlessThatFolderCannotBeWritten) {
    CTempDirectory dir;
    ASSERT_FALSE(dir.Path().empty());
    const std::string user = dir.Path() + "/Użytkownik";
    const EnvironmentLookup environment = LookupIn({{"APPDATA", user}, {"XDG_CONFIG_HOME", user}});
    const std::string userFolder = UserSettingsDirectory(environment).value_or("");
    ASSERT_FALSE(userFolder.empty());

    const std::string beside = dir.Path() + "/Zażółć gęślą jaźń/";
    ASSERT_TRUE(fs::create_directory(PathFromUtf8(beside)));
    EXPECT_EQ(SettingsDirectory(beside, environment), beside);
    ASSERT_EQ(SaveConfigFile(beside + "config.cfg", {}), ConfigSaveResult::Written);
    EXPECT_EQ(SettingsDirectory(beside, environment), beside);

    // Permission bits do not stop root, so the folder that cannot be written is a missing one.
    const std::string missing = dir.Path() + "/brak/";
    EXPECT_EQ(SettingsDirectory(missing, environment), userFolder);
    EXPECT_EQ(SettingsDirectory(missing, LookupIn({})), missing) << "nowhere else to go";
    EXPECT_FALSE(fs::exists(PathFromUtf8(userFolder))) << "made only when first saved";
}

TEST(SettingsLocation, SettingsRoundTripThroughAFolderWithAPolishName) {
    CTempDirectory dir;
    ASSERT_FALSE(dir.Path().empty());
    const std::string user = dir.Path() + "/Użytkownik";
    const std::string folder = SettingsDirectory(
        dir.Path() + "/brak/", LookupIn({{"APPDATA", user}, {"XDG_CONFIG_HOME", user}}));
    const ConnectionSettings saved{.port = 4, .baudRate = 9600, .deviceAddress = 7};
    ASSERT_EQ(SaveConfigFile(folder + "config.cfg", saved), ConfigSaveResult::Written);
    // Under the name as written, not as another code page would spell it.
    EXPECT_TRUE(fs::is_regular_file(PathFromUtf8(dir.Path()) / u8"Użytkownik" / u8"qal-terminal" /
                                    u8"config.cfg"));
    ConnectionSettings loaded;
    ASSERT_EQ(LoadConfigFile(folder + "config.cfg", loaded), ConfigLoadResult::Read);
    EXPECT_EQ(loaded.port, 4);
    EXPECT_EQ(loaded.baudRate, 9600);
    EXPECT_EQ(loaded.deviceAddress, 7);
}

TEST(SettingsLocation, ProcessEnvironmentComesAsUtf8) {
#if defined(_WIN32)
    ASSERT_EQ(_wputenv_s(L"QAL_TEST_FOLDER", L"C:\\Użytkownik"), 0);
    const std::string expected = "C:\\Użytkownik";
#else
    ASSERT_EQ(::setenv("QAL_TEST_FOLDER", "/home/użytkownik", 1), 0);
    const std::string expected = "/home/użytkownik";
#endif
    EXPECT_EQ(ProcessEnvironment("QAL_TEST_FOLDER"), expected);
    EXPECT_EQ(ProcessEnvironment("QAL_TEST_NO_SUCH_VARIABLE"), std::nullopt);
}

// The program folder of a portable copy, of one that cannot be written, and of an installed
// copy (on Windows the installer's uninstaller beside it, elsewhere its desktop entry beside its
// bin folder), each with and without config.cfg in it.
TEST(SettingsLocation, ProgramFolderOrUserFolder) {
    CTempDirectory dir;
    ASSERT_FALSE(dir.Path().empty());
    const std::string user = dir.Path() + "/home/łukasz";
    const EnvironmentLookup environment = LookupIn({{"HOME", user}, {"APPDATA", user}});
    const std::string userFolder = UserSettingsDirectory(environment).value_or("");
    ASSERT_FALSE(userFolder.empty());
    const fs::path root = PathFromUtf8(dir.Path());
    ASSERT_TRUE(fs::create_directories(root / "usr" / "bin"));
#if defined(_WIN32)
    std::ofstream(root / "usr" / "bin" / "Uninstall.exe") << "MZ";
    // A run as administrator may have left one there; a normal run could never save it.
    const bool configBesideInstalledCounts = false;
#else
    const std::string entry = std::string(QAL_APP_ID) + ".desktop";
    ASSERT_TRUE(fs::create_directories(root / "usr" / "share" / "applications"));
    std::ofstream(root / "usr" / "share" / "applications" / entry) << "[Desktop Entry]\n";
    const bool configBesideInstalledCounts = true;
#endif
    ASSERT_TRUE(fs::create_directories(root / "portable"));
    const std::string installed = Utf8FromPath(root / "usr" / "bin") + "/";
    const std::string portable = Utf8FromPath(root / "portable") + "/";

    const auto writable = [](const std::string&) { return true; };
    const auto readOnly = [](const std::string&) { return false; };
    const struct {
        const char* name;
        std::string folder;
        bool canWrite;
        bool withConfig;
        std::string expected;
    } cases[] = {
        {"writable", portable, true, false, portable},
        {"read-only", portable, false, false, userFolder},
        {"read-only with config.cfg", portable, false, true, portable},
        {"installed, writable by an administrator", installed, true, false, userFolder},
        {"installed with config.cfg", installed, true, true,
         configBesideInstalledCounts ? installed : userFolder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path config = PathFromUtf8(c.folder) / "config.cfg";
        if (c.withConfig) {
            ASSERT_EQ(SaveConfigFile(Utf8FromPath(config), {}), ConfigSaveResult::Written);
        }
        const DirectoryCheck check = c.canWrite ? DirectoryCheck(writable) : readOnly;
        EXPECT_EQ(SettingsDirectory(c.folder, environment, check), c.expected);
        fs::remove(config);
    }
    EXPECT_TRUE(IsInstalledProgramDirectory(installed, environment));
    EXPECT_FALSE(IsInstalledProgramDirectory(portable, environment));

    // The user folder under a home with a Polish name is made by the first save.
    const std::string folder = SettingsDirectory(installed, environment);
    EXPECT_EQ(folder, userFolder);
#if !defined(_WIN32)
    EXPECT_EQ(folder, user + "/.config/qal-terminal/");
#endif
    ASSERT_EQ(SaveConfigFile(folder + "config.cfg", {}), ConfigSaveResult::Written);
    EXPECT_TRUE(fs::is_regular_file(PathFromUtf8(folder) / "config.cfg"));
    EXPECT_TRUE(fs::is_directory(root / "home" / u8"łukasz")) << "under the name as written";
}

// Whatever the folder's rights: what the installer left, or where the folder lies.
TEST(SettingsLocation, InstalledWindowsCopyByItsUninstallerOrProgramFiles) {
    const std::vector<std::string> programFiles = {"C:\\Program Files", "C:\\Program Files (x86)"};
    const struct {
        const char* name;
        std::string folder;
        bool uninstallerBeside;
        std::vector<std::string> programFiles;
        bool installed;
    } cases[] = {
        {"the installer's folder", "C:\\Program Files\\Program kontrolny QAL\\", false,
         programFiles, true},
        {"another letter case", "c:\\PROGRAM FILES\\Program kontrolny QAL", false, programFiles,
         true},
        {"forward slashes", "C:/Program Files/QAL/", false, programFiles, true},
        {"the 32-bit Program Files", "C:\\Program Files (x86)\\QAL\\", false, programFiles, true},
        {"only the 64-bit one set",
         "C:\\Program Files (x86)\\QAL\\",
         false,
         {"C:\\Program Files"},
         false},
        {"a long-path name", "\\\\?\\C:\\Program Files\\QAL\\", false, programFiles, true},
        {"a variable with a separator at its end",
         "C:\\Program Files\\QAL\\",
         false,
         {"C:\\Program Files\\"},
         true},
        {"a folder whose name only begins alike", "C:\\Program FilesX\\QAL\\", false, programFiles,
         false},
        {"a portable copy elsewhere", "D:\\Narzędzia\\QAL\\", false, programFiles, false},
        {"installed elsewhere", "D:\\Narzędzia\\QAL\\", true, programFiles, true},
        {"an empty variable", "D:\\QAL\\", false, {""}, false},
        {"no variables", "C:\\Program Files\\QAL\\", false, {}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsInstalledWindowsFolder(c.folder, {c.uninstallerBeside, c.programFiles}),
                  c.installed)
            << c.name;
    }
}

TEST(SettingsLocation, ExecutableDirectoryIsThisProgramsFolder) {
    const std::string directory = ExecutableDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_TRUE(fs::is_directory(PathFromUtf8(directory)));
    EXPECT_TRUE(directory.back() == '/' || directory.back() == '\\') << directory;
}
