// Parsing of the tomiks command line (see program_options.h): one table of
// commands and one of options; the usage text is written from both.
#include "program_options.h"

#include <cstdlib>
#include <sstream>

#include "plugin_library.h"
#include "rates_and_date.h"

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

struct CommandRow {
  const char* name;
  const char* words;  // its arguments as the usage shows them
  const char* help;   // lines separated by '\n'
  size_t fewestWords, mostWords;
  bool talksToService;
};

const CommandRow kCommands[] = {
    {"import", "",
     "run the plug-in's command \"Import zamówień z Marketgate\",\nthen list what the universal import stored", 0, 0,
     true},
    {"documents", "", "list the stored documents", 0, 0, false},
    {"handle", "[NUMBER]",
     "handle the sales document NUMBER (its number or its order's\nnumber; default: the last stored document) in "
     "\"Tspr_dok\"\n(with --list: through the \"Tspr\" list); the plug-in pushes\nthe order's status",
     0, 1, true},
    {"event", "CODE [NUMBER]",
     "raise host event 2294 with CODE (e.g. -2, taking a document\nover) for document NUMBER (default: the last "
     "stored one)",
     1, 2, true},
    {"diagnose", "", "ask the plug-in why it cannot be used (entry 30008 with 1)", 0, 0, false},
};

using ApplyOption = bool (*)(ProgramOptions& options, const std::string& value, std::string& error);

// One option: its name, the name of its value (nullptr: a switch), its help
// lines and what it sets. A row without a name starts a group in the usage.
struct OptionRow {
  const char* name;
  const char* value;
  const char* help;
  ApplyOption apply;
};

const OptionRow kOptions[] = {
    {nullptr, nullptr, "Options (anywhere on the line):", nullptr},
    {"--workdir", "DIR",
     "the host's working directory: its profile tomiks.ini,\nmarketgate.ini and the document store (default ~/.tomiks)",
     [](ProgramOptions& o, const std::string& v, std::string&) {
       o.workDir = v;
       return true;
     }},
    {"--service", "URL",
     "the order service's address, e.g. http://127.0.0.1:8080\n(default: [Service] BaseUrl of tomiks.ini, else the "
     "address\nthe plug-in names)",
     [](ProgramOptions& o, const std::string& v, std::string&) {
       o.serviceUrl = v;
       return true;
     }},
    {"--request-time-limit", "SECONDS",
     "a request to the order service that has not been answered\nin full after SECONDS fails (default 120; Linux client\n"
     "only, on Windows each step is bounded: 10 s to connect,\n60 s for every read and write)",
     [](ProgramOptions& o, const std::string& v, std::string& error) {
       long long seconds = 0;
       if (!parseNumber(v, 1, 86400, seconds)) {
         error = "--request-time-limit needs a number of seconds from 1 to 86400";
         return false;
       }
       o.requestSeconds = static_cast<long>(seconds);
       return true;
     }},
    {"--reply-size-limit", "BYTES",
     "a reply from the order service larger than BYTES fails\nthe request (default 67108864, 64 MiB)",
     [](ProgramOptions& o, const std::string& v, std::string& error) {
       long long bytes = 0;
       if (!parseNumber(v, 1, 1LL << 30, bytes)) {
         error = "--reply-size-limit needs a number of bytes from 1 to 1073741824";
         return false;
       }
       o.replyBytes = static_cast<size_t>(bytes);
       return true;
     }},
    {"--plugin", "PATH", "the plug-in library (default: the one named above, beside\ntomiks)",
     [](ProgramOptions& o, const std::string& v, std::string&) {
       o.pluginPath = v;
       return true;
     }},
    {"--answers", "FILE",
     "answers for the dialogs, one part per dialog, parts\nseparated by lines \"---\" (default: the dialog on the\n"
     "terminal)",
     [](ProgramOptions& o, const std::string& v, std::string&) {
       o.answersFile = v;
       return true;
     }},
    {"--text-answer", "TEXT",
     "the answer to the host's next text prompt (the API key);\nrepeatable, one per prompt in order (default: the\nterminal; none there: cancelled)",
     [](ProgramOptions& o, const std::string& v, std::string&) {
       o.textAnswers.push_back(v);
       return true;
     }},
    {"--quiet", nullptr, "the host runs without user interaction",
     [](ProgramOptions& o, const std::string&, std::string&) {
       o.quiet = true;
       return true;
     }},
    {"--plain", nullptr, "show messages without their markup bytes",
     [](ProgramOptions& o, const std::string&, std::string&) {
       o.plain = true;
       return true;
     }},
    {"--import-fails", nullptr,
     "the universal import refuses every file (stores nothing,\ngives -1), as a broken import of the host",
     [](ProgramOptions& o, const std::string&, std::string&) {
       o.importFails = true;
       return true;
     }},
    {"--write-fails-after", "BYTES",
     "the host's file functions (open, formatted write, close)\nfail once BYTES bytes went into files in this run, as on\n"
     "a full disk",
     [](ProgramOptions& o, const std::string& v, std::string& error) {
       long long number = 0;
       if (!parseNumber(v, 0, 9223372036854775807LL, number)) {
         error = "--write-fails-after needs a number of bytes";
         return false;
       }
       o.writeFailsAfter = number;
       return true;
     }},
    {"--exit-at-call", "N",
     "the process ends at once, as if killed (no clean-up, exit\nstatus 137), at the plug-in's N-th host function call",
     [](ProgramOptions& o, const std::string& v, std::string& error) {
       long long number = 0;
       if (!parseNumber(v, 1, 2147483647LL, number)) {
         error = "--exit-at-call needs a number from 1";
         return false;
       }
       o.exitAtCall = static_cast<long>(number);
       return true;
     }},
    {"--rate", "CODE=RATE",
     "the host's exchange rate of a currency, e.g. EUR=4.2834\n(repeatable; over [ExchangeRates] of tomiks.ini)",
     [](ProgramOptions& o, const std::string& v, std::string& error) {
       std::string currency;
       double rate = 0;
       if (!parseRate(v, currency, rate, error)) {
         error = "--rate " + v + ": " + error;
         return false;
       }
       o.rates[currency] = rate;
       return true;
     }},
    {"--date", "YY.MM.DD",
     "the host's current date, e.g. 26.03.16 (default: [Clock]\nDate of tomiks.ini, else the clock)",
     [](ProgramOptions& o, const std::string& v, std::string& error) {
       if (!checkHostDate(v, error)) {
         error = "--date " + v + " " + error;
         return false;
       }
       o.currentDate = v;
       return true;
     }},
    {"--list", nullptr, "handle: choose the document in the \"Tspr\" list",
     [](ProgramOptions& o, const std::string&, std::string&) {
       o.throughList = true;
       return true;
     }},
    {"--tsv", nullptr,
     "documents: one line a document, fields apart by tabs: id,\nregister, number, order number, customer, currency,\n"
     "total, positions",
     [](ProgramOptions& o, const std::string&, std::string&) {
       o.asTable = true;
       return true;
     }},
    {"--help", nullptr, "this text (also -h)", nullptr},
    {"--version", nullptr, "the version of tomiks", nullptr},

    {nullptr, nullptr, "An incompatible host (to see the plug-in's diagnosis):", nullptr},
    {"--level", "N", "interface level N instead of 112",
     [](ProgramOptions& o, const std::string& v, std::string& error) {
       long long number = 0;
       if (!parseNumber(v, -2147483647LL - 1, 2147483647LL, number)) {
         error = "--level needs a number";
         return false;
       }
       o.interfaceLevel = static_cast<int>(number);
       return true;
     }},
    {"--missing", "LIST", "host functions not exported, e.g. 20940,30018",
     [](ProgramOptions& o, const std::string& v, std::string& error) {
       if (parseOrdinals(v, o.missingOrdinals)) return true;
       error = "--missing needs ordinals separated by commas, e.g. 20940,30018";
       return false;
     }},
    {"--table-size", "T=SIZE",
     "record size of table T (45 \"Tspr_dok\", 44 \"Tspr\");\nT=none: the host has no such table",
     [](ProgramOptions& o, const std::string& v, std::string& error) {
       if (parseTableSize(v, o.tableSizes)) return true;
       error = "--table-size needs TABLE=SIZE or TABLE=none, e.g. 45=514";
       return false;
     }},
    {"--verify-refuses", "TEXT", "the module verification refuses, explaining with TEXT",
     [](ProgramOptions& o, const std::string& v, std::string&) {
       o.verifyRefusal = v;
       o.verifyRefuses = true;
       return true;
     }},
    {"--missing-features", "MASK", "features the host does not offer, e.g. 0x2",
     [](ProgramOptions& o, const std::string& v, std::string& error) {
       long long number = 0;
       if (!parseNumber(v, 0, 0xFFFFFFFFLL, number)) {
         error = "--missing-features needs a mask, e.g. 0x2";
         return false;
       }
       o.missingFeatures = static_cast<uint32_t>(number);
       return true;
     }},
};

const CommandRow* findCommand(const std::string& name) {
  for (const CommandRow& row : kCommands) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

const OptionRow* findOption(const std::string& name) {
  for (const OptionRow& row : kOptions) {
    if (row.name != nullptr && name == row.name) return &row;
  }
  return nullptr;
}

// A word of the line that is an option ("--x", "-h"); "-2" is a word.
bool looksLikeOption(const std::string& word) {
  if (word.size() < 2 || word[0] != '-') return false;
  return !(word[1] >= '0' && word[1] <= '9');
}

std::string commandUsage(const CommandRow& command) {
  std::string usage = std::string("tomiks [OPTIONS] ") + command.name;
  if (std::string(command.name) == "handle") usage += " [--list]";
  if (std::string(command.name) == "documents") usage += " [--tsv]";
  if (*command.words != '\0') usage += std::string(" ") + command.words;
  return usage;
}

// The command and its words, checked against the command's row.
bool checkCommand(ProgramOptions& options, std::string& error) {
  if (options.command.empty()) {
    error = "no command given";
    return false;
  }
  const CommandRow* command = findCommand(options.command);
  if (command == nullptr) {
    error = "unknown command " + options.command;
    return false;
  }
  if (options.arguments.size() < command->fewestWords || options.arguments.size() > command->mostWords) {
    error = "usage: " + commandUsage(*command);
    return false;
  }
  if (options.throughList && options.command != "handle") {
    error = "--list goes with the command handle only";
    return false;
  }
  if (options.asTable && options.command != "documents") {
    error = "--tsv goes with the command documents only";
    return false;
  }
  return true;
}

// "  NAME VALUE" padded to the help column, then the help's lines.
void appendRow(std::string& text, const std::string& left, const char* help) {
  const size_t column = 23;
  text += left;
  text += left.size() < column ? std::string(column - left.size(), ' ') : std::string("  ");
  for (const char* c = help; *c != '\0'; ++c) {
    text += *c;
    if (*c == '\n') text += std::string(column, ' ');
  }
  text += '\n';
}

}  // namespace

bool parseProgramOptions(int argc, char** argv, ProgramOptions& options, std::string& error) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    std::string word = argv[i];
    if (optionsEnded || !looksLikeOption(word)) {
      if (options.command.empty()) {
        options.command = word;
      } else {
        options.arguments.push_back(word);
      }
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    if (word == "--help" || word == "-h" || word == "--version") {
      options.command = word == "--version" ? "version" : "help";
      options.arguments.clear();
      return true;
    }
    std::string name = word, value;
    size_t equals = word.find('=');
    bool valueJoined = word.rfind("--", 0) == 0 && equals != std::string::npos;
    if (valueJoined) {
      name = word.substr(0, equals);
      value = word.substr(equals + 1);
    }
    const OptionRow* option = findOption(name);
    if (option == nullptr || option->apply == nullptr) {
      error = "unknown option " + name;
      return false;
    }
    if (option->value == nullptr && valueJoined) {
      error = name + " takes no value";
      return false;
    }
    if (option->value != nullptr && !valueJoined) {
      if (i + 1 >= argc) {
        error = name + " needs a value (" + option->value + ")";
        return false;
      }
      value = argv[++i];
    }
    if (!option->apply(options, value, error)) return false;
  }
  return checkCommand(options, error);
}

bool commandTalksToService(const std::string& command) {
  const CommandRow* row = findCommand(command);
  return row != nullptr && row->talksToService;
}

std::string programUsage() {
  std::string text =
      "usage: tomiks [OPTIONS] COMMAND [WORDS]\n"
      "\n"
      "The host stand-in: loads the plug-in " +
      std::string(kPluginFileName) +
      " as the host program does\n"
      "(entries 30001 and 30008), runs one command and unloads it.\n"
      "\n"
      "Commands:\n";
  for (const CommandRow& command : kCommands) {
    std::string left = std::string("  ") + command.name;
    if (*command.words != '\0') left += std::string(" ") + command.words;
    appendRow(text, left, command.help);
  }
  for (const OptionRow& option : kOptions) {
    if (option.name == nullptr) {
      text += std::string("\n") + option.help + "\n";
      continue;
    }
    std::string left = std::string("  ") + option.name;
    if (option.value != nullptr) left += std::string(" ") + option.value;
    appendRow(text, left, option.help);
  }
  text +=
      "\n"
      "A command that talks to the order service (import, handle, event) first\n"
      "prints the service address it uses.\n"
      "\n"
      "Exit status:\n"
      "  0  the command did its job (import: the file reached the host's import\n"
      "     and was taken, whatever the plug-in told before)\n"
      "  1  the plug-in or the host reported a failure (a plug-in that cannot be\n"
      "     loaded or refused to, a failed request, an import that handed no file\n"
      "     over or whose file the host refused, a push that failed), or the user\n"
      "     cancelled\n"
      "  2  bad usage: an unknown option or command, a missing value, a document\n"
      "     number that names no stored document, an unreadable --answers file,\n"
      "     a bad --rate or --date or the like in tomiks.ini, a working directory\n"
      "     that cannot be made\n"
      "  137  ended at the host call --exit-at-call names\n";
  return text;
}
