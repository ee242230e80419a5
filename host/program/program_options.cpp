// Parsing of the tomiks command line (see program_options.h).
#include "program_options.h"

#include <cstdlib>
#include <sstream>

namespace {

bool parseNumber(const std::string& text, long long minimum, long long maximum, long long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  long long parsed = std::strtoll(text.c_str(), &end, 0);
  if (end == nullptr || *end != '\0' || parsed < minimum || parsed > maximum) return false;
  value = parsed;
  return true;
}

bool parseOrdinals(const std::string& list, std::vector<unsigned>& ordinals) {
  std::stringstream items(list);
  std::string item;
  while (std::getline(items, item, ',')) {
    long long ordinal = 0;
    if (!parseNumber(item, 1, 65535, ordinal)) return false;
    ordinals.push_back(static_cast<unsigned>(ordinal));
  }
  return !ordinals.empty();
}

// "45=514" or "44=none".
bool parseTableSize(const std::string& text, std::map<int, int>& sizes) {
  size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  long long table = 0, size = 0;
  if (!parseNumber(text.substr(0, equals), 1, 32767, table)) return false;
  std::string value = text.substr(equals + 1);
  if (value == "none") {
    size = 0;
  } else if (!parseNumber(value, 1, 32767, size)) {
    return false;
  }
  sizes[static_cast<int>(table)] = static_cast<int>(size);
  return true;
}

}  // namespace

bool parseProgramOptions(int argc, char** argv, ProgramOptions& options, std::string& error) {
  int i = 1;
  auto value = [&](const std::string& name, std::string& out) {
    if (i + 1 >= argc) {
      error = name + " needs a value";
      return false;
    }
    out = argv[++i];
    return true;
  };
  for (; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0 || arg == "--") {
      if (arg == "--") ++i;
      break;
    }
    std::string text;
    long long number = 0;
    if (arg == "--workdir") {
      if (!value(arg, options.workDir)) return false;
    } else if (arg == "--service") {
      if (!value(arg, options.serviceUrl)) return false;
    } else if (arg == "--plugin") {
      if (!value(arg, options.pluginPath)) return false;
    } else if (arg == "--answers") {
      if (!value(arg, options.answersFile)) return false;
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "--plain") {
      options.plain = true;
    } else if (arg == "--level") {
      if (!value(arg, text)) return false;
      if (!parseNumber(text, -2147483647LL - 1, 2147483647LL, number)) {
        error = "--level needs a number";
        return false;
      }
      options.interfaceLevel = static_cast<int>(number);
    } else if (arg == "--missing") {
      if (!value(arg, text)) return false;
      if (!parseOrdinals(text, options.missingOrdinals)) {
        error = "--missing needs ordinals separated by commas, e.g. 20940,30018";
        return false;
      }
    } else if (arg == "--table-size") {
      if (!value(arg, text)) return false;
      if (!parseTableSize(text, options.tableSizes)) {
        error = "--table-size needs TABLE=SIZE or TABLE=none, e.g. 45=514";
        return false;
      }
    } else if (arg == "--verify-refuses") {
      if (!value(arg, options.verifyRefusal)) return false;
      options.verifyRefuses = true;
    } else if (arg == "--missing-features") {
      if (!value(arg, text)) return false;
      if (!parseNumber(text, 0, 0xFFFFFFFFLL, number)) {
        error = "--missing-features needs a mask, e.g. 0x2";
        return false;
      }
      options.missingFeatures = static_cast<uint32_t>(number);
    } else if (arg == "--help") {
      options.command = "help";
      return true;
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  if (i >= argc) {
    error = "no command given";
    return false;
  }
  options.command = argv[i++];
  for (; i < argc; ++i) options.arguments.push_back(argv[i]);
  return true;
}

std::string programUsage() {
  return "usage: tomiks [OPTIONS] COMMAND\n"
         "\n"
         "The host stand-in: loads the plug-in marketgate.so as the host program does\n"
         "(entries 30001 and 30008), runs one command and unloads it.\n"
         "\n"
         "Commands:\n"
         "  import               run the plug-in's command \"Import zamówień z Marketgate\",\n"
         "                       then list what the universal import stored\n"
         "  documents            list the stored documents\n"
         "  handle [NUMBER]      handle the sales document NUMBER (its number or its\n"
         "                       order's number; default: the last stored document) in\n"
         "                       \"Tspr_dok\": the plug-in pushes the order's status\n"
         "  handle --list [NUMBER]  the same through the \"Tspr\" list\n"
         "  event CODE [NUMBER]  raise host event 2294 with CODE (e.g. -2, taking a document\n"
         "                       over) for document NUMBER (default: the last stored one)\n"
         "  diagnose             ask the plug-in why it cannot be used (entry 30008 with 1)\n"
         "\n"
         "Options:\n"
         "  --workdir DIR        the host's working directory: its profile tomiks.ini,\n"
         "                       marketgate.ini and the document store (default ~/.tomiks)\n"
         "  --service URL        the order service's address, e.g. http://127.0.0.1:8080\n"
         "                       (default: [Service] BaseUrl of tomiks.ini)\n"
         "  --plugin PATH        the plug-in library (default: marketgate.so beside tomiks)\n"
         "  --answers FILE       answers for the dialogs, one part per dialog, parts\n"
         "                       separated by lines \"---\" (default: the dialog on the\n"
         "                       terminal)\n"
         "  --quiet              the host runs without user interaction\n"
         "  --plain              show messages without their markup bytes\n"
         "\n"
         "An incompatible host (to see the plug-in's diagnosis):\n"
         "  --level N            interface level N instead of 112\n"
         "  --missing LIST       host functions not exported, e.g. 20940,30018\n"
         "  --table-size T=SIZE  record size of table T (45 \"Tspr_dok\", 44 \"Tspr\");\n"
         "                       T=none: the host has no such table\n"
         "  --verify-refuses TEXT  the module verification refuses, explaining with TEXT\n"
         "  --missing-features MASK  features the host does not offer, e.g. 0x2\n";
}
