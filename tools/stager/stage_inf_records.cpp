#include "identity/target_identity.h"
#include "tools/stager/installation.h"
#include "tools/stager/package_layout.h"
#include "tools/stager/system_state.h"

namespace stager {

namespace {

std::string InfText(const InfFileSpec& inf) {
  // A printer INF as the model's installer writes it; without the model's line it lists a sibling,
  // and a family INF lists both.
  std::string modelLines;
  if (inf.listsModel) modelLines += "\"KARVELO QTM-820wide\" = QTM820WE.GPD, USBPRINT\\KARVELOQTM-820wide\r\n";
  if (!inf.listsModel || inf.alsoListsSibling) {
    modelLines += "\"KARVELO QTM-820narrow\" = QTM820NE.GPD, USBPRINT\\KARVELOQTM-820narrow\r\n";
  }
  return "[Version]\r\n"
         "Signature=\"$Windows NT$\"\r\n"
         "Class=Printer\r\n"
         "ClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}\r\n"
         "Provider=KARVELO\r\n"
         "\r\n"
         "[Manufacturer]\r\n"
         "KARVELO=KARVELO\r\n"
         "\r\n"
         "[KARVELO]\r\n" +
         modelLines;
}

// The text is ASCII, so each character is its own code unit.
std::string InUtf16(const std::string& text) {
  std::string bytes = "\xFF\xFE";
  for (char c : text) bytes += std::string{c, '\0'};
  return bytes;
}

std::string CompanionName(const std::string& infName) {
  return infName.substr(0, infName.find_last_of('.')) + ".PNF";
}

}  // namespace

bool StageInfFile(const InfFileSpec& inf, std::string& error) {
  const std::string folder = FolderPath(Folder::Inf);
  if (folder.empty()) return (error = "no INF directory"), false;
  const std::string text = InfText(inf);
  if (!WriteFileText(folder + "\\" + inf.name, inf.utf16 ? InUtf16(text) : text)) {
    return (error = LastErrorText("writing " + inf.name)), false;
  }
  if (inf.companion && !WriteFileText(folder + "\\" + CompanionName(inf.name), std::string("PNF\x02\x01", 5))) {
    return (error = LastErrorText("writing the companion of " + inf.name)), false;
  }
  return true;
}

bool StageDriverClassKey(const DriverClassKeySpec& key, std::string& error) {
  const std::string path = std::string(kPrinterClassKey) + "\\" + key.subkey;
  const bool written = WriteRegistryString(HKEY_LOCAL_MACHINE, path, "DriverDesc", key.driverDesc) &&
                       (!key.infPath || WriteRegistryString(HKEY_LOCAL_MACHINE, path, "InfPath", *key.infPath));
  if (!written) error = LastErrorText("writing " + path);
  return written;
}

}  // namespace stager
