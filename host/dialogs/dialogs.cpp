// The host's dialog engine: the dialog base class WDialogBase with its
// inherited operations, the auxiliary dialog objects and the dialog
// function, which decodes a description record, asks the dialog object for
// its pick lists' items, runs the dialog (on the terminal or from scripted
// answers) and writes the chosen values into the caller's record.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "text/codepages.h"
#include "dialogs/dialog_model.h"
#include "dialogs/dialog_record.h"
#include "dialogs/dialog_script.h"
#include "dialogs/dialog_terminal.h"
#include "core/host_exports.h"

using standin::recordCall;
using standin::state;

STANDIN_EXPORT void MG_CDECL ordinal_21287(void* block);
STANDIN_EXPORT int32_t MG_STDCALL ordinal_20907();
STANDIN_EXPORT void MG_THISCALL ordinal_20903(void* object);

namespace {

constexpr int kBaseOperationCount = 35;
// The item text operations of the base class: the dialog engine asks the
// second for the number of items (index -1) and the first for each item's
// text in the code page of the host's windows (Windows-1250).
constexpr int kItemTextSlot = 22;
constexpr int kItemCountSlot = 23;
constexpr size_t kItemTextLimit = 1000;
constexpr intptr_t kMostItems = 32767;
constexpr uint32_t kBaseMarker = 0x474C4457;  // in the host part of a built base
constexpr uint32_t kAuxMarker = 0x58554157;

using ItemTextFn = intptr_t(MG_THISCALL*)(void*, int16_t, int32_t);
using DialogOperationFn = int32_t(MG_THISCALL*)(void*, int32_t, int32_t);

standin::DialogState& dialogs() { return state().dialogs; }

void fault(const std::string& text) { dialogs().faults.push_back(text); }

// ---- the base class ----

intptr_t MG_THISCALL baseItemText(void*, int16_t, int32_t) { return 0; }

void* MG_THISCALL baseDestructor(void* object, uint32_t flags) {
  ordinal_20903(object);
  if ((flags & 1) != 0) ordinal_21287(object);
  return object;
}

uint32_t baseMarker(const void* object) {
  uint32_t marker;
  std::memcpy(&marker, static_cast<const host_abi::WDialogBase*>(object)->hostPart, sizeof marker);
  return marker;
}

void setBaseMarker(void* object, uint32_t marker) {
  std::memcpy(static_cast<host_abi::WDialogBase*>(object)->hostPart, &marker, sizeof marker);
}

bool baseBuilt(const void* object) { return object != nullptr && baseMarker(object) == kBaseMarker; }

// ---- auxiliary objects ----

struct AuxObject {
  void* const* operations;
  void* dialog;
  void* function;
  int32_t value;
  uint32_t marker;
};
static_assert(sizeof(AuxObject) <= sizeof(host_abi::HostObjectStorage),
              "an auxiliary object fits the plug-in's storage");

int32_t MG_THISCALL auxKind(void*) { return 1; }
int32_t MG_THISCALL auxValue(void* object) { return static_cast<AuxObject*>(object)->value; }

void* const* auxOperations() {
  static void* const operations[2] = {reinterpret_cast<void*>(&auxKind), reinterpret_cast<void*>(&auxValue)};
  return operations;
}

// The aux values of a run must be the dialog's own objects: the later one
// first, then the earlier one.
void checkAuxValues(const void* dialog, int32_t secondValue, int32_t firstValue) {
  std::vector<int32_t> values;
  for (const auto& aux : dialogs().liveAux) {
    if (aux.second.dialog == dialog) values.push_back(aux.second.value);
  }
  std::sort(values.begin(), values.end());
  if (values.size() != 2 || secondValue != values[1] || firstValue != values[0]) {
    fault("dialog run with aux values " + std::to_string(secondValue) + ", " + std::to_string(firstValue) +
          " that are not its two auxiliary objects' (later, earlier)");
  }
}

// ---- the dialog function ----

std::vector<std::string> objectItems(void* dialog) {
  void* const* operations = static_cast<host_abi::WDialogBase*>(dialog)->virtualOperations;
  auto count = reinterpret_cast<ItemTextFn>(operations[kItemCountSlot]);
  auto text = reinterpret_cast<ItemTextFn>(operations[kItemTextSlot]);
  intptr_t items = count(dialog, -1, 0);
  if (items < 0 || items > kMostItems) {
    fault("the dialog object reports " + std::to_string(items) + " items");
    return {};
  }
  std::vector<std::string> result;
  for (intptr_t i = 0; i < items; ++i) {
    const char* item = reinterpret_cast<const char*>(text(dialog, static_cast<int16_t>(i), 0));
    if (item == nullptr) {
      result.emplace_back();
      continue;
    }
    const void* nul = std::memchr(item, 0, kItemTextLimit);
    size_t length = nul != nullptr ? static_cast<const char*>(nul) - item : kItemTextLimit;
    result.push_back(standin::cp1250ToUtf8(std::string(item, length)));
  }
  return result;
}

void refuse(standin::DialogRun& run, const std::string& reason) {
  dialogs().lastError = reason;
  run.answeredBy = "refused";
  standin::recordMessage("message", "", "Okno dialogowe odrzucone: " + reason);
}

void showClosedDialog(const std::string& rendering) {
  if (!state().echo) return;
  std::fwrite(rendering.data(), 1, rendering.size(), stdout);
  std::fflush(stdout);
}

// Answers the dialog from the queued script, the terminal, or not at all.
void answer(standin::DialogModel& model, standin::DialogRun& run) {
  standin::DialogState& s = dialogs();
  if (!s.answers.empty()) {
    std::string script = s.answers.front();
    s.answers.pop_front();
    run.answeredBy = "script";
    std::string error;
    if (!standin::runDialogScript(model, script, error)) {
      s.lastError = "dialog answers: " + error;
      standin::recordMessage("message", "", "Odpowiedzi okna dialogowego: " + error);
      model.press(standin::DialogKey::escape);
    }
    return;
  }
  if (s.terminal && standin::terminalDialogUsable()) {
    run.answeredBy = "terminal";
    standin::runTerminalDialog(model);
    return;
  }
  run.answeredBy = "none";
  model.press(standin::DialogKey::escape);
}

int16_t runDialogOn(void* dialog, const void* description, void* values, standin::DialogRun& run) {
  if (!baseBuilt(dialog)) {
    refuse(run, "the dialog object has no built base part");
    return 0;
  }
  standin::DialogDescription decoded;
  std::string error;
  if (!standin::decodeDialogDescription(static_cast<const uint8_t*>(description), standin::kDialogDescriptionLimit,
                                        decoded, error)) {
    refuse(run, "description record: " + error);
    return 0;
  }
  standin::DialogModel model(decoded);
  if (!model.layout().empty() && values == nullptr) {
    refuse(run, "no record for the dialog's values");
    return 0;
  }
  for (size_t i = 0; i < decoded.controls.size(); ++i) {
    const standin::DialogControlRecord& control = decoded.controls[i];
    if (control.type == standin::kDialogPickList && (control.flags[0] & standin::kDialogItemsFromObject) != 0) {
      model.setItems(i, objectItems(dialog));
    }
  }
  if (values != nullptr) model.loadValues(static_cast<const uint8_t*>(values));
  dialogs().openedRendering = model.drawText();
  answer(model, run);
  if (model.closed() && !model.cancelled() && values != nullptr) model.storeValues(static_cast<uint8_t*>(values));
  dialogs().closedRendering = model.drawText();
  if (run.answeredBy != "terminal") showClosedDialog(dialogs().closedRendering);
  return static_cast<int16_t>(model.result());
}

void recordOperation(unsigned ordinal, void* object, int32_t first, int32_t second) {
  recordCall(ordinal);
  dialogs().operationCalls.push_back(standin::DialogOperationCall{ordinal, object, first, second});
}

}  // namespace

// ---- exported host functions ----

STANDIN_EXPORT void* MG_THISCALL ordinal_20902(void* object) {
  recordCall(20902);
  auto* base = static_cast<host_abi::WDialogBase*>(object);
  std::memset(base->hostPart, 0, sizeof base->hostPart);
  base->virtualOperations = standin::dialogBaseOperations();
  setBaseMarker(object, kBaseMarker);
  dialogs().liveBases += 1;
  return object;
}

STANDIN_EXPORT void MG_THISCALL ordinal_20903(void* object) {
  recordCall(20903);
  if (!baseBuilt(object)) {
    fault("a dialog base destroyed that was not built, or destroyed twice");
    return;
  }
  static_cast<host_abi::WDialogBase*>(object)->virtualOperations = standin::dialogBaseOperations();
  setBaseMarker(object, 0);
  dialogs().liveBases -= 1;
}

STANDIN_EXPORT void* MG_THISCALL ordinal_20972(void* aux, void* dialog, void* function) {
  recordCall(20972);
  if (function != reinterpret_cast<void*>(&ordinal_20907)) fault("an auxiliary dialog object given another function");
  if (!baseBuilt(dialog)) fault("an auxiliary dialog object for a dialog without a built base part");
  int32_t value = dialogs().nextAuxValue++;
  AuxObject made{auxOperations(), dialog, function, value, kAuxMarker};
  std::memcpy(aux, &made, sizeof made);
  dialogs().liveAux[aux] = standin::AuxDialogRecord{dialog, value};
  return aux;
}

STANDIN_EXPORT void MG_THISCALL ordinal_20973(void* aux) {
  recordCall(20973);
  auto found = dialogs().liveAux.find(aux);
  if (found == dialogs().liveAux.end()) {
    fault("an auxiliary dialog object destroyed that was not built, or destroyed twice");
    return;
  }
  dialogs().liveAux.erase(found);
  std::memset(aux, 0, sizeof(AuxObject));
}

STANDIN_EXPORT int32_t MG_STDCALL ordinal_20907() {
  recordCall(20907);
  return 0;
}

STANDIN_EXPORT int16_t MG_STDCALL ordinal_24007(void* dialog, const void* description, int32_t one, void* values,
                                                int32_t zero, int32_t secondAuxValue, int32_t firstAuxValue) {
  recordCall(24007);
  standin::DialogRun run;
  run.fixedFirst = one;
  run.fixedSecond = zero;
  run.secondAuxValue = secondAuxValue;
  run.firstAuxValue = firstAuxValue;
  dialogs().lastError.clear();
  dialogs().openedRendering.clear();
  dialogs().closedRendering.clear();
  checkAuxValues(dialog, secondAuxValue, firstAuxValue);
  run.result = runDialogOn(dialog, description, values, run);
  dialogs().runs.push_back(run);
  return static_cast<int16_t>(run.result);
}

// The base class's inherited operations: each records its object and two
// arguments and answers a value made of them.
#define STANDIN_DIALOG_OPERATION(ordinal)                                                             \
  STANDIN_EXPORT int32_t MG_THISCALL ordinal_##ordinal(void* object, int32_t first, int32_t second) { \
    recordOperation(ordinal, object, first, second);                                                  \
    return standin::dialogOperationResult(ordinal, first, second);                                    \
  }

STANDIN_DIALOG_OPERATION(24004)
STANDIN_DIALOG_OPERATION(24003)
STANDIN_DIALOG_OPERATION(24002)
STANDIN_DIALOG_OPERATION(20937)
STANDIN_DIALOG_OPERATION(20940)
STANDIN_DIALOG_OPERATION(20941)
STANDIN_DIALOG_OPERATION(20942)
STANDIN_DIALOG_OPERATION(20943)
STANDIN_DIALOG_OPERATION(20944)
STANDIN_DIALOG_OPERATION(20945)
STANDIN_DIALOG_OPERATION(20946)
STANDIN_DIALOG_OPERATION(20947)
STANDIN_DIALOG_OPERATION(20948)
STANDIN_DIALOG_OPERATION(20949)
STANDIN_DIALOG_OPERATION(20950)
STANDIN_DIALOG_OPERATION(20951)
STANDIN_DIALOG_OPERATION(20952)
STANDIN_DIALOG_OPERATION(20953)
STANDIN_DIALOG_OPERATION(20954)
STANDIN_DIALOG_OPERATION(20955)
STANDIN_DIALOG_OPERATION(20956)
STANDIN_DIALOG_OPERATION(20957)
STANDIN_DIALOG_OPERATION(20958)
STANDIN_DIALOG_OPERATION(20959)
STANDIN_DIALOG_OPERATION(20960)
STANDIN_DIALOG_OPERATION(20961)
STANDIN_DIALOG_OPERATION(20962)
STANDIN_DIALOG_OPERATION(20963)
STANDIN_DIALOG_OPERATION(20964)
STANDIN_DIALOG_OPERATION(20965)
STANDIN_DIALOG_OPERATION(20966)
STANDIN_DIALOG_OPERATION(20967)

STANDIN_CHECK_SIGNATURE(20902, DialogBaseConstructFn);
STANDIN_CHECK_SIGNATURE(20903, DialogBaseDestroyFn);
STANDIN_CHECK_SIGNATURE(20972, AuxDialogConstructFn);
STANDIN_CHECK_SIGNATURE(20973, AuxDialogDestroyFn);
STANDIN_CHECK_SIGNATURE(24007, RunDialogFn);

// ---- control ----

namespace standin {

void* const* dialogBaseOperations() {
  static void* const operations[kBaseOperationCount] = {
      reinterpret_cast<void*>(&baseDestructor), reinterpret_cast<void*>(&ordinal_20967),
      reinterpret_cast<void*>(&ordinal_20958),  reinterpret_cast<void*>(&ordinal_20959),
      reinterpret_cast<void*>(&ordinal_20960),  reinterpret_cast<void*>(&ordinal_20961),
      reinterpret_cast<void*>(&ordinal_20962),  reinterpret_cast<void*>(&ordinal_20963),
      reinterpret_cast<void*>(&ordinal_20964),  reinterpret_cast<void*>(&ordinal_20965),
      reinterpret_cast<void*>(&ordinal_20966),  reinterpret_cast<void*>(&ordinal_20957),
      reinterpret_cast<void*>(&ordinal_20948),  reinterpret_cast<void*>(&ordinal_20949),
      reinterpret_cast<void*>(&ordinal_20950),  reinterpret_cast<void*>(&ordinal_20951),
      reinterpret_cast<void*>(&ordinal_20952),  reinterpret_cast<void*>(&ordinal_20953),
      reinterpret_cast<void*>(&ordinal_20954),  reinterpret_cast<void*>(&ordinal_20955),
      reinterpret_cast<void*>(&ordinal_20956),  reinterpret_cast<void*>(&ordinal_20947),
      reinterpret_cast<void*>(&baseItemText),   reinterpret_cast<void*>(&baseItemText),
      reinterpret_cast<void*>(&ordinal_20940),  reinterpret_cast<void*>(&ordinal_20941),
      reinterpret_cast<void*>(&ordinal_20942),  reinterpret_cast<void*>(&ordinal_20943),
      reinterpret_cast<void*>(&ordinal_20944),  reinterpret_cast<void*>(&ordinal_20945),
      reinterpret_cast<void*>(&ordinal_20946),  reinterpret_cast<void*>(&ordinal_20937),
      reinterpret_cast<void*>(&ordinal_24002),  reinterpret_cast<void*>(&ordinal_24003),
      reinterpret_cast<void*>(&ordinal_24004),
  };
  return operations;
}

int32_t dialogOperationResult(unsigned ordinal, int32_t first, int32_t second) {
  return static_cast<int32_t>(ordinal) * 1000 + first * 10 + second;
}

const std::vector<DialogOperationCall>& dialogOperationCalls() { return state().dialogs.operationCalls; }

void scriptDialogAnswers(const std::string& answers) { state().dialogs.answers.push_back(answers); }

bool loadDialogAnswers(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  for (const std::string& script : splitDialogScripts(text.str())) scriptDialogAnswers(script);
  return true;
}

int pendingDialogAnswers() { return static_cast<int>(state().dialogs.answers.size()); }
void clearDialogAnswers() { state().dialogs.answers.clear(); }

void setTerminalDialogs(bool use) { state().dialogs.terminal = use; }
bool terminalDialogsBuilt() { return terminalDialogBuilt(); }

std::string lastDialogRendering(DialogMoment moment) {
  return moment == DialogMoment::opened ? state().dialogs.openedRendering : state().dialogs.closedRendering;
}

const std::string& lastDialogError() { return state().dialogs.lastError; }
const std::vector<DialogRun>& dialogRuns() { return state().dialogs.runs; }
int liveDialogObjects() { return state().dialogs.liveBases; }
int liveAuxDialogObjects() { return static_cast<int>(state().dialogs.liveAux.size()); }
const std::vector<std::string>& dialogFaults() { return state().dialogs.faults; }

}  // namespace standin
