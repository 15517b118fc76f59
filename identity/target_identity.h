#pragma once

// Everything that identifies the one product this uninstaller removes. Changing the product means
// changing these texts and nothing else. All are ANSI strings; registry paths lie below
// HKEY_LOCAL_MACHINE unless a caller says otherwise.

#include <cstddef>

inline constexpr char DRIVER_NAME[] = "KARVELO QTM-820wide";
inline constexpr char APP_TITLE[] = "KARVELO QTM-820wide uninstaller";
inline constexpr char MODEL_NAME[] = "QTM-820wide";
inline constexpr char DRIVER_FILE_LETTER[] = "E";
inline constexpr char INF_MANUFACTURER_SECTION[] = "KARVELO";
inline constexpr char USB_HARDWARE_ID[] = "USB\\Vid_2E5B&Pid_0017";
inline constexpr char DRIVER_DIR_NAME[] = "karveloqtm_820wide6ea0";
inline constexpr char PRINT_ENVIRONMENT[] = "Windows NT x86";
inline constexpr char PERMISSION_SPEC[] = "/PG:Everyone:Fc";

inline constexpr char UNINSTALL_KEY[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KARVELO_QTM-820wide";
inline constexpr char UNINSTALL_KEY_PREFIX[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KARVELO_";
inline constexpr char PRINTER_SETTINGS_KEY_PREFIX[] = "SOFTWARE\\KARVELO_POS_PRINTER\\";
inline constexpr char USBPRINT_ENUM_KEY[] =
    "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KARVELOQTM-820wide";
inline constexpr char LPTENUM_ENUM_KEY[] =
    "SYSTEM\\CurrentControlSet\\Enum\\LPTENUM\\KARVELOQTM-820wide";

// Every device enumeration key lies below this key. The device installer keeps below an
// enumeration key the device nodes whose instance IDs begin with the key's path from here on and a
// backslash ("USBPRINT\KARVELOQTM-820wide\..."); that path's first part names their enumerator.
inline constexpr char DEVICE_ENUM_ROOT[] = "SYSTEM\\CurrentControlSet\\Enum\\";
constexpr const char* DeviceIdOf(const char* enumerationKey) { return enumerationKey + sizeof DEVICE_ENUM_ROOT - 1; }

// The enumeration keys in key-path form, appended to a "\\" + computer-name machine prefix.
inline constexpr char USBPRINT_ENUM_KEY_PATH[] =
    "\\HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KARVELOQTM-820wide";
inline constexpr char LPTENUM_ENUM_KEY_PATH[] =
    "\\HKLM\\SYSTEM\\CurrentControlSet\\Enum\\LPTENUM\\KARVELOQTM-820wide";

// Name prefixes completed with parts of the model name; the trailing space belongs to each.
inline constexpr char DRIVER_NAME_PREFIX[] = "KARVELO ";
inline constexpr char MONITOR_NAME_PREFIX[] = "KVL Language Monitor ";
inline constexpr char PROCESSOR_NAME_PREFIX[] = "KVL PRINT PROCESSOR ";
inline constexpr char DRIVER_KEY_PREFIX[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-3\\"
    "KARVELO ";
inline constexpr char DRIVER_PRINTER_KEY_PREFIX[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\KARVELO ";
inline constexpr char MONITOR_KEY_PREFIX[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KVL Language Monitor ";
inline constexpr char PROCESSOR_KEY_PREFIX[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\"
    "KVL PRINT PROCESSOR ";

// Length of the hardware-ID prefix that identifies the model's USB device nodes.
inline constexpr std::size_t USB_HARDWARE_ID_LENGTH = 21;

namespace target_identity_checks {

constexpr std::size_t Length(const char* text) {
  std::size_t n = 0;
  while (text[n] != '\0') ++n;
  return n;
}

constexpr bool StartsWith(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    if (*text != *prefix) return false;
  }
  return true;
}

constexpr bool EqualsConcatenation(const char* whole, const char* head, const char* tail) {
  return StartsWith(whole, head) && Length(whole) == Length(head) + Length(tail) &&
         StartsWith(whole + Length(head), tail);
}

constexpr bool EndsWithSpace(const char* text) { return text[Length(text) - 1] == ' '; }

static_assert(EqualsConcatenation(DRIVER_NAME, DRIVER_NAME_PREFIX, MODEL_NAME),
              "the driver name is the maker's prefix followed by the model name");
static_assert(EqualsConcatenation(APP_TITLE, DRIVER_NAME, " uninstaller"),
              "the title is the driver name followed by \" uninstaller\"");
static_assert(EqualsConcatenation(UNINSTALL_KEY, UNINSTALL_KEY_PREFIX, MODEL_NAME),
              "the Uninstall key is its prefix followed by the model name");
static_assert(Length(USB_HARDWARE_ID) == USB_HARDWARE_ID_LENGTH,
              "the USB hardware ID is compared over exactly 21 characters");
static_assert(EqualsConcatenation(USBPRINT_ENUM_KEY_PATH, "\\HKLM\\", USBPRINT_ENUM_KEY),
              "the USBPRINT key path names the USBPRINT key below HKLM");
static_assert(EqualsConcatenation(LPTENUM_ENUM_KEY_PATH, "\\HKLM\\", LPTENUM_ENUM_KEY),
              "the LPTENUM key path names the LPTENUM key below HKLM");
static_assert(StartsWith(USBPRINT_ENUM_KEY, DEVICE_ENUM_ROOT) && StartsWith(LPTENUM_ENUM_KEY, DEVICE_ENUM_ROOT),
              "the enumeration keys lie below the Enum key");
static_assert(Length(MODEL_NAME) >= 5 && MODEL_NAME[3] == '-',
              "the model name has three letters, a hyphen, then the rest");
static_assert(EndsWithSpace(DRIVER_NAME_PREFIX) && EndsWithSpace(MONITOR_NAME_PREFIX) &&
                  EndsWithSpace(PROCESSOR_NAME_PREFIX) && EndsWithSpace(DRIVER_KEY_PREFIX) &&
                  EndsWithSpace(DRIVER_PRINTER_KEY_PREFIX) && EndsWithSpace(MONITOR_KEY_PREFIX) &&
                  EndsWithSpace(PROCESSOR_KEY_PREFIX),
              "the name prefixes keep their trailing space");

}  // namespace target_identity_checks
