// Registry values the INF cleanup reads (the Uninstall key's InfFile, and DriverDesc and InfPath of
// the printer class keys) that are too long, stored without their terminator, of the wrong type,
// or empty. Every value is read the same way: at most 256 bytes into a cleared buffer, its type
// not looked at; a longer one is not read at all. The whole uninstall still runs to its end, and a
// hostile value leads to no file but the one its first 256 bytes name in the INF directory.
//
// Each INF a value names here is one the oem scan would leave (its manufacturer section does not
// list the model), so whether it goes depends on the value alone.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "tests/fault_matrix/whole_uninstall.h"
#include "tools/stager/package_layout.h"
#include "tools/stager/system_state.h"

namespace fault_matrix {
namespace {

struct RegistryValue {
  DWORD type;
  std::string bytes;
};

RegistryValue Text(const std::string& text) { return {REG_SZ, text + '\0'}; }
RegistryValue Unterminated(const std::string& text) { return {REG_SZ, text}; }
// A value whose first string names `text`, followed by filler that takes it past 256 bytes.
RegistryValue PaddedPast256Bytes(const std::string& text) { return {REG_SZ, text + '\0' + std::string(300, 'x')}; }

// One printer class key: its DriverDesc and InfPath, and the INF it would lead to. A key that
// names the model goes with the package.
struct ClassKeyValues {
  RegistryValue driverDesc;
  RegistryValue infPath;
  std::string inf;  // staged in the INF directory with its companion; none when empty
  bool infDeleted;
  bool keyDeleted = false;
};

struct ValueCase {
  RegistryValue infFile;  // the Uninstall key's
  std::string recordedInf;
  bool recordedInfDeleted;
  std::vector<ClassKeyValues> classKeys;
};

std::string InInfDirectory(const std::string& name) { return FilePath(stager::Folder::Inf, name); }
std::string Companion(const std::string& infName) { return infName.substr(0, infName.size() - 3) + "PNF"; }

const RegistryValue kModelDescription = Text(DRIVER_NAME);
const std::string kVictim = "victim.dll";  // in the system directory

class HostileValues : public WholeUninstall {
 protected:
  void Run(const ValueCase& values) {
    StageMachine();
    std::vector<std::string> infs;
    if (!values.recordedInf.empty()) infs.push_back(values.recordedInf);
    for (const ClassKeyValues& key : values.classKeys) {
      if (!key.inf.empty()) infs.push_back(key.inf);
    }
    for (const std::string& inf : infs) {
      std::string error;
      ASSERT_TRUE(stager::StageInfFile({inf, false, true}, error)) << error;
    }
    ASSERT_TRUE(stager::WriteFileText(FilePath(stager::Folder::System, kVictim), "not the model's"));
    ASSERT_TRUE(Write(UNINSTALL_KEY, "InfFile", values.infFile));
    for (size_t i = 0; i < values.classKeys.size(); ++i) {
      const std::string key = std::string(stager::kPrinterClassKey) + "\\00" + std::to_string(10 + i);
      ASSERT_TRUE(Write(key, "DriverDesc", values.classKeys[i].driverDesc)) << key;
      ASSERT_TRUE(Write(key, "InfPath", values.classKeys[i].infPath)) << key;
      if (values.classKeys[i].keyDeleted) expected_.removed.push_back(MachineKey(key));
    }

    if (values.recordedInfDeleted) Expect(values.recordedInf);
    for (const ClassKeyValues& key : values.classKeys) {
      if (key.infDeleted) Expect(key.inf);
    }
    RunAndCheck();
  }

 private:
  static bool Write(const std::string& key, const char* name, const RegistryValue& value) {
    return stager::WriteRegistryValue(HKEY_LOCAL_MACHINE, key, name, value.type, value.bytes);
  }
  void Expect(const std::string& inf) {
    expected_.removed.push_back(InInfDirectory(inf));
    expected_.removed.push_back(InInfDirectory(Companion(inf)));
  }
};

TEST_F(HostileValues, LongerThan256BytesAreNotReadAtAll) {
  Run({PaddedPast256Bytes(InInfDirectory("oem21.inf")), "oem21.inf", false,
       {
           {PaddedPast256Bytes(DRIVER_NAME), Text("oem22.inf"), "oem22.inf", false},
           {kModelDescription, PaddedPast256Bytes("oem23.inf"), "oem23.inf", false, true},
           {Text(std::string(300, 'K')), Text("oem24.inf"), "oem24.inf", false},
           {kModelDescription, Text(std::string(300, 'o')), "", false, true},
       }});
}

TEST_F(HostileValues, StoredWithoutTheirTerminatorStillReadAsText) {
  Run({Unterminated(InInfDirectory("oem21.inf")), "oem21.inf", true,
       {
           {Unterminated(DRIVER_NAME), Text("oem22.inf"), "oem22.inf", true, true},
           {kModelDescription, Unterminated("oem23.inf"), "oem23.inf", true, true},
       }});
}

// 256 bytes without a terminator fill the buffer: the text is all 256 of them, nothing beyond.
// The InfFile value is binary here, so that the platform hands over its bytes as they are: Wine's
// ANSI registry read counts a terminator that a string value lacks, and refuses a string of 256
// characters as too long for 256 bytes.
TEST_F(HostileValues, ThatFillTheBufferExactlyWithoutATerminatorReadAsAll256Bytes) {
  const std::string directory = stager::FolderPath(stager::Folder::Inf) + "\\";
  const std::string longName = std::string(256 - directory.size() - 4, 'f') + ".inf";
  ASSERT_EQ((directory + longName).size(), 256u);
  Run({{REG_BINARY, directory + longName}, longName, true,
       {
           {Unterminated(std::string(DRIVER_NAME) + std::string(256 - sizeof DRIVER_NAME + 1, ' ')), Text("oem22.inf"),
            "oem22.inf", false},
           {kModelDescription, Unterminated(std::string(256, 'o')), "", false, true},
       }});
}

// The first string of a list is the value's text; the DWORD's bytes name nothing; an expandable
// string is not expanded, so its directory keeps it from being a bare file name.
TEST_F(HostileValues, OfTheWrongTypeAreReadAsTheirBytes) {
  const std::string victim = "..\\system32\\" + kVictim;
  Run({{REG_MULTI_SZ, InInfDirectory("oem21.inf") + '\0' + InInfDirectory(victim) + '\0' + '\0'}, "oem21.inf", true,
       {
           {{REG_BINARY, DRIVER_NAME}, Text("oem22.inf"), "oem22.inf", true, true},
           {{REG_DWORD, std::string("\x78\x56\x34\x12", 4)}, Text("oem23.inf"), "oem23.inf", false},
           {kModelDescription, {REG_MULTI_SZ, std::string("oem24.inf") + '\0' + victim + '\0' + '\0'}, "oem24.inf",
            true, true},
           {kModelDescription, {REG_EXPAND_SZ, std::string("%SystemRoot%\\inf\\oem25.inf") + '\0'}, "oem25.inf", false,
            true},
           {kModelDescription, {REG_DWORD, std::string("\x01\x00\x00\x00", 4)}, "", false, true},
       }});
}

TEST_F(HostileValues, ThatAreEmptyNameNothing) {
  Run({{REG_SZ, std::string()}, "", false,
       {
           {Text(""), Text("oem22.inf"), "oem22.inf", false},
           {kModelDescription, Text(""), "", false, true},
           {kModelDescription, {REG_SZ, std::string()}, "", false, true},
       }});
}

}  // namespace
}  // namespace fault_matrix
