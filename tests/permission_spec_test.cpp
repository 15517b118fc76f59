// Permission specifications as the tool reads them, and what applying one does to a key's DACL.

#include <gtest/gtest.h>

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "identity/target_identity.h"
#include "regperm/regperm.h"
#include "tests/registry_test_support.h"
#include "tools/stager/system_state.h"

namespace {

struct SpecCase {
  std::string spec;
  LONG status;
  ACCESS_MODE mode;
  std::string trustee;
  DWORD mask;
};

void PrintTo(const SpecCase& specCase, std::ostream* out) { *out << '"' << specCase.spec << '"'; }

const std::vector<SpecCase> kSpecCases = {
    {PERMISSION_SPEC, 0, GRANT_ACCESS, "Everyone", 0xF003F},
    {"/pg:Everyone:fc", 0, GRANT_ACCESS, "Everyone", 0xF003F},
    {"-Ps:Users:Rd", 0, SET_ACCESS, "Users", 0x20019},
    {"/pD:Guests:wR", 0, DENY_ACCESS, "Guests", 0x20026},
    {"/XG:Everyone:Fc", 0, NOT_USED_ACCESS, "Everyone", 0},
    {"/X", 87, NOT_USED_ACCESS, "", 0},
    {"/PX:Everyone:Fc", 87, NOT_USED_ACCESS, "", 0},
    {"/P", 87, NOT_USED_ACCESS, "", 0},
    {"/PR:Everyone", 0, REVOKE_ACCESS, "Everyone", 0},
    {"/PR:Everyone:Fc", 0, REVOKE_ACCESS, "Everyone", 0},
    {"/PG:Everyone", 87, NOT_USED_ACCESS, "", 0},
    {"/PG:Everyone:", 87, NOT_USED_ACCESS, "", 0},
    {"/PG:Everyone:RdWr", 0, GRANT_ACCESS, "Everyone", 0x2003F},
    {"/PG:Everyone:FcR", 0, GRANT_ACCESS, "Everyone", 0},
    {"/PG:Everyone:FcXy", 0, GRANT_ACCESS, "Everyone", 0xF003F},
    {"::/PG::Everyone:Fc", 0, GRANT_ACCESS, "Everyone", 0xF003F},
    {"", 87, NOT_USED_ACCESS, "", 0},
    {":::", 87, NOT_USED_ACCESS, "", 0},
};

class SpecTable : public ::testing::TestWithParam<SpecCase> {};

TEST_P(SpecTable, ParsesToModeTrusteeAndMask) {
  const SpecCase& expected = GetParam();
  PermissionSpec spec;
  ASSERT_EQ(ParsePermissionSpec(expected.spec.c_str(), spec), expected.status);
  if (expected.status != ERROR_SUCCESS) return;
  EXPECT_EQ(spec.accessMode, expected.mode);
  EXPECT_EQ(spec.trusteeName, expected.trustee);
  EXPECT_EQ(spec.accessMask, expected.mask);
}

// A key path naming an unknown machine shows whether a key was opened: the connection answers 53.
TEST_P(SpecTable, OpensTheKeyOnlyForASpecificationThatParses) {
  const SpecCase& expected = GetParam();
  const LONG status = ApplyPermissionSpec("\\\\NoSuchHost\\HKLM\\SOFTWARE", expected.spec.c_str());
  EXPECT_EQ(status, expected.status == ERROR_SUCCESS ? ERROR_BAD_NETPATH : expected.status);
}

INSTANTIATE_TEST_SUITE_P(Specifications, SpecTable, ::testing::ValuesIn(kSpecCases));

struct LettersCase {
  std::string letters;
  LONG status;
  DWORD mask;
};

void PrintTo(const LettersCase& lettersCase, std::ostream* out) { *out << '"' << lettersCase.letters << '"'; }

std::string Repeated(const std::string& text, int times) {
  std::string result;
  for (int i = 0; i < times; ++i) result += text;
  return result;
}

const std::vector<LettersCase> kLettersCases = {
    {"", 0, 0},
    {"Fc", 0, 0xF003F},
    {"rd", 0, 0x20019},
    {"WR", 0, 0x20026},
    {"RdWr", 0, 0x2003F},
    {"FcR", 87, 0},
    {"FcXy", 87, 0xF003F},
    {"XyRd", 87, 0x20019},
    {Repeated("Rd", 255), 0, 0x20019},
    {Repeated("Rd", 256), 87, 0},
};

class AccessLetterTable : public ::testing::TestWithParam<LettersCase> {};

TEST_P(AccessLetterTable, GiveTheirMaskWhateverTheStatus) {
  const LettersCase& expected = GetParam();
  DWORD mask = 0xDEADBEEF;
  EXPECT_EQ(ParseAccessLetters(expected.letters.c_str(), mask), expected.status);
  EXPECT_EQ(mask, expected.mask);
}

INSTANTIATE_TEST_SUITE_P(Letters, AccessLetterTable, ::testing::ValuesIn(kLettersCases));

constexpr char kKey[] = "SOFTWARE\\KarveloPermissionTest";
constexpr char kKeyPath[] = "HKLM\\SOFTWARE\\KarveloPermissionTest";

class AppliedSpecification : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(stager::WriteRegistryString(HKEY_LOCAL_MACHINE, kKey, "Kept", "yes")); }
};

TEST_F(AppliedSpecification, GrantGivesEveryoneFullControlInheritedBySubkeys) {
  ASSERT_EQ(DaclEntries(HKEY_LOCAL_MACHINE, kKey).find(";;;WD)"), std::string::npos);

  EXPECT_EQ(ApplyPermissionSpec(kKeyPath, PERMISSION_SPEC), ERROR_SUCCESS);

  EXPECT_NE(DaclEntries(HKEY_LOCAL_MACHINE, kKey).find("(A;CI;KA;;;WD)"), std::string::npos)
      << DaclEntries(HKEY_LOCAL_MACHINE, kKey);
}

// An entry left unused changes nothing (Wine's SetEntriesInAclA refuses it with 87); one for an
// unknown account is refused by the merge (1332 on Windows, 87 on Wine) and changes nothing.
TEST_F(AppliedSpecification, UnusedAndUnknownAccountEntriesLeaveTheDaclAsItWas) {
  const std::string before = DaclEntries(HKEY_LOCAL_MACHINE, kKey);

  (void)ApplyPermissionSpec(kKeyPath, "/XG:Everyone:Fc");
  EXPECT_EQ(DaclEntries(HKEY_LOCAL_MACHINE, kKey), before);
  EXPECT_NE(ApplyPermissionSpec(kKeyPath, "/PG:No Such Account:Fc"), ERROR_SUCCESS);
  EXPECT_EQ(DaclEntries(HKEY_LOCAL_MACHINE, kKey), before);
}

}  // namespace
