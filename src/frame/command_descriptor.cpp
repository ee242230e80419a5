// The import command's descriptor (see command_descriptor.h).
#include "frame/command_descriptor.h"

#include "frame/load_sequence.h"
#include "frame/plugin_identity.h"
#include "import/import_run.h"

namespace {

// The host may call the command of a plug-in whose load it refused: with
// host functions missing it shows nothing and does nothing.
int32_t MG_STDCALL importCommand() {
  if (!hostFunctionsComplete()) return 0;
  return runOrderImport();
}

}  // namespace

const CommandDescriptor importCommandDescriptor = {
    kImportCommandFlags, kDisplayName, kImportCommandNumber, 0, &importCommand, 0};
