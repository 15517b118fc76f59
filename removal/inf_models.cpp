#include "removal/inf_models.h"

#include <windows.h>
#include <setupapi.h>

#include <cstring>
#include <vector>

#include "identity/target_identity.h"
#include "win/scoped_setup.h"

namespace {

// Calls `visit` with each line of `section`, in order.
template <typename Visit>
void ForEachLine(HINF inf, const char* section, Visit visit) {
  INFCONTEXT line{};
  if (!::SetupFindFirstLineA(inf, section, nullptr, &line)) return;
  for (;;) {
    visit(line);
    INFCONTEXT next{};
    if (!::SetupFindNextLine(&line, &next)) return;
    line = next;
  }
}

// A field of an INF line; field 0 is the line's key. Nothing when it cannot be read.
std::optional<std::string> FieldText(INFCONTEXT& line, DWORD field) {
  DWORD needed = 0;
  if (!::SetupGetStringFieldA(&line, field, nullptr, 0, &needed) || needed == 0) return std::nullopt;
  std::vector<char> text(needed);
  if (!::SetupGetStringFieldA(&line, field, text.data(), needed, nullptr)) return std::nullopt;
  return std::string(text.data(), strnlen(text.data(), text.size()));
}

// Each line of [Manufacturer] names a models section in its first field and, in the fields after
// it, the targets ("NTx86", "NTx86.6.0") for which a section of that name, a dot and the target
// holds the models instead.
std::vector<std::string> ModelsSections(HINF inf) {
  std::vector<std::string> sections = {INF_MANUFACTURER_SECTION};
  ForEachLine(inf, "Manufacturer", [&](INFCONTEXT& line) {
    const std::optional<std::string> section = FieldText(line, 1);
    if (!section || section->empty()) return;
    sections.push_back(*section);
    const DWORD fields = ::SetupGetFieldCount(&line);
    for (DWORD field = 2; field <= fields; ++field) {
      if (const std::optional<std::string> target = FieldText(line, field)) sections.push_back(*section + "." + *target);
    }
  });
  return sections;
}

// The models the INF serves other than the model itself, by the keys of its model lines.
std::set<std::string> OtherModelsServed(HINF inf) {
  std::set<std::string> models;
  for (const std::string& section : ModelsSections(inf)) {
    ForEachLine(inf, section.c_str(), [&](INFCONTEXT& line) {
      const std::optional<std::string> model = FieldText(line, 0);
      if (model && !model->empty() && *model != DRIVER_NAME) models.insert(*model);
    });
  }
  return models;
}

}  // namespace

std::optional<std::string> WhyTheInfServesAnotherDriver(const std::string& path,
                                                        const std::optional<std::set<std::string>>& installedDrivers) {
  UINT errorLine = 0;
  const ScopedInfFile inf(::SetupOpenInfFileA(path.c_str(), nullptr, INF_STYLE_WIN4, &errorLine));
  if (!inf.IsValid()) return std::nullopt;
  const std::set<std::string> others = OtherModelsServed(inf.Get());
  if (others.empty()) return std::nullopt;
  if (!installedDrivers) return std::string("it also serves other models, and the installed drivers could not be listed");
  for (const std::string& driver : *installedDrivers) {
    if (driver == DRIVER_NAME) continue;
    for (const std::string& model : others) {
      if (::_stricmp(driver.c_str(), model.c_str()) == 0) return "the installed driver \"" + driver + "\" comes from it";
    }
  }
  return std::nullopt;
}

bool KeptForAnotherDriver(const std::string& path, const std::string& name,
                          const std::optional<std::set<std::string>>& installedDrivers, RemovalResult& result) {
  const std::optional<std::string> why = WhyTheInfServesAnotherDriver(path, installedDrivers);
  if (!why) return false;
  result.Note("kept " + name + ": " + *why);
  return true;
}
