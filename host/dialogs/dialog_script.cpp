// Scripted answers of dialogs (see dialog_script.h).
#include "dialogs/dialog_script.h"

#include <cstdlib>
#include <utility>

#include "text/codepages.h"

namespace standin {

namespace {

// Names by which scripts address the controls of the plug-in's settings
// dialog: the options the controls edit.
const std::pair<const char*, uint16_t> kControlNames[] = {
    {"StatusWePoz", 0x4001},
    {"StatusWyPoz", 0x410B},
    {"Identyfikacja", 0x4107},
    {"ZamowieniaCzyParagony", 0x4109},
    {"EanCzySku", 0x410C},
    {"Kontrahent", 0x410E},
    {"WpisTowar", 0x4110},
    {"SymbolPrzesylki", 0x4112},
    {"NieDoklejajKwotyDoSymbPrzes", 0x4114},
    {"CoWpisacDoUwag", 0x4116},
};

const std::pair<const char*, DialogKey> kKeyNames[] = {
    {"Up", DialogKey::up},       {"Down", DialogKey::down},   {"Left", DialogKey::left},
    {"Right", DialogKey::right}, {"Tab", DialogKey::tab},     {"BackTab", DialogKey::backTab},
    {"Enter", DialogKey::enter}, {"Space", DialogKey::space}, {"Backspace", DialogKey::backspace},
    {"Esc", DialogKey::escape},  {"F12", DialogKey::f12},
};

std::string trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool parseNumber(const std::string& text, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 0);
  return end != nullptr && *end == '\0';
}

bool controlId(const std::string& name, uint16_t& id) {
  for (const auto& known : kControlNames) {
    if (name == known.first) {
      id = known.second;
      return true;
    }
  }
  long value = 0;
  if (name.rfind("0x", 0) != 0 || !parseNumber(name, value) || value < 0 || value > 0xFFFF) return false;
  id = static_cast<uint16_t>(value);
  return true;
}

bool setControl(DialogModel& model, const std::string& name, const std::string& value, std::string& error) {
  uint16_t id = 0;
  DialogField* field = controlId(name, id) ? model.fieldById(id) : nullptr;
  if (field == nullptr || field->slot < 0) {
    error = "the dialog has no input control \"" + name + "\"";
    return false;
  }
  uint16_t type = model.description().controls[field->control].type;
  if (type == kDialogTextInput) {
    bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    model.setText(*field, utf8ToMazovia(quoted ? value.substr(1, value.size() - 2) : value));
    return true;
  }
  long number = 0;
  if (!parseNumber(value, number)) {
    error = name + "=" + value + ": not a number";
    return false;
  }
  if (type == kDialogCheckBox) {
    if (number != 0 && number != 1) {
      error = name + "=" + value + ": a check box is 0 or 1";
      return false;
    }
  } else if (number < 0 || number >= static_cast<long>(field->items.size())) {
    error = name + "=" + value + ": the list has " + std::to_string(field->items.size()) + " items";
    return false;
  }
  field->choice = static_cast<int32_t>(number);
  return true;
}

bool pressKeys(DialogModel& model, const std::string& keys, std::string& error) {
  size_t at = 0;
  while (at < keys.size()) {
    if (keys[at] == ' ') {
      ++at;
      continue;
    }
    if (keys[at] == '"') {
      size_t end = keys.find('"', at + 1);
      if (end == std::string::npos) {
        error = "keys: a typed text has no closing quote";
        return false;
      }
      for (const std::string& character : utf8Characters(keys.substr(at + 1, end - at - 1))) {
        model.press(character == " " ? DialogKey::space : DialogKey::character, character);
      }
      at = end + 1;
      continue;
    }
    size_t end = keys.find(' ', at);
    std::string name = keys.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? keys.size() : end;
    bool known = false;
    for (const auto& key : kKeyNames) {
      if (name == key.first) {
        model.press(key.second);
        known = true;
      }
    }
    if (!known) {
      error = "keys: unknown key \"" + name + "\"";
      return false;
    }
  }
  return true;
}

bool pressNamedButton(DialogModel& model, const std::string& name, std::string& error) {
  uint16_t id = 0;
  if (name == "F12" || name == "ESC") {
    id = model.buttonForKey(name.c_str());
  } else {
    long value = 0;
    if (parseNumber(name, value) && value > 0 && value <= 0xFFFF) id = static_cast<uint16_t>(value);
  }
  if (id == 0 || !model.pressButton(id)) {
    error = "the dialog has no button \"" + name + "\"";
    return false;
  }
  return true;
}

}  // namespace

bool runDialogScript(DialogModel& model, const std::string& script, std::string& error) {
  std::string button;
  bool sawKeys = false;
  size_t start = 0;
  while (start <= script.size()) {
    size_t end = script.find('\n', start);
    if (end == std::string::npos) end = script.size();
    std::string line = trimmed(script.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    size_t equals = line.find('=');
    if (equals == std::string::npos) {
      error = "\"" + line + "\" is not name=value";
      return false;
    }
    std::string name = trimmed(line.substr(0, equals));
    std::string value = trimmed(line.substr(equals + 1));
    if (name == "button") {
      button = trimmed(value);
    } else if (name == "keys") {
      sawKeys = true;
      if (!pressKeys(model, value, error)) return false;
    } else if (model.closed()) {
      error = name + ": the dialog was closed already";
      return false;
    } else if (!setControl(model, name, value, error)) {
      return false;
    }
  }
  if (model.closed()) {
    if (!button.empty()) {
      error = "button=" + button + ": the dialog was closed already";
      return false;
    }
    return true;
  }
  if (button.empty() && sawKeys) {
    error = "the keys left the dialog open and no button is named";
    return false;
  }
  return pressNamedButton(model, button.empty() ? "F12" : button, error);
}

std::vector<std::string> splitDialogScripts(const std::string& text) {
  std::vector<std::string> scripts(1);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (trimmed(line) == "---") {
      scripts.emplace_back();
    } else {
      scripts.back() += line + "\n";
    }
  }
  return scripts;
}

}  // namespace standin
