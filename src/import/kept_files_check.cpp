// The check of the kept files before an import (see kept_files_check.h).
#include "import/kept_files_check.h"

#include "import/booked_orders.h"
#include "import/taken_over_note.h"
#include "platform/file_lock.h"
#include "service/kept_text_file.h"
#include "service/push_journal.h"
#include "service/user_message.h"
#include "settings/import_settings.h"

namespace {

constexpr char kLockUnusable[] =
    "Nie mo\xA7na za\x92o\xA7y\x8D blokady w pliku %s (%s). Import zam\xA2wie\xA4 nie zostanie uruchomiony, dop\xA2ki "
    "blokady nie da si\x91 za\x92o\xA7y\x8D: bez niej dwa importy mog\x92yby dzia\x92"
    "a\x8D naraz, a zam\xA2wienia "
    "zosta\x8D zaimportowane dwa razy albo zagubione.";

bool readable(const char* name) {
  std::string path = workingFilePath(name);
  return path.empty() || keptFileReadable(path);
}

}  // namespace

void showUnusableLock(const std::string& path, int error) {
  showMessage(kLockUnusable, path.c_str(), keptFileCause(path, error).c_str());
}

bool keptFilesUsable() {
  std::string lockPath = workingFilePath(kPushJournalLockName);
  if (!lockPath.empty()) {
    FileLock lock{-1, 0};
    LockResult result = tryLockFile(lockPath.c_str(), lock);
    if (result == LockResult::Unavailable) {
      showUnusableLock(lockPath, lock.error);
      return false;
    }
    unlockFile(lock);  // a holder (a handled document's push) lets go soon
  }
  if (!readable(kTakenOverName) || !readable(kPushJournalName)) return false;
  return !keepBookedOrders() || readable(kBookedOrdersName);
}
