// A settings object used as a plain holder of the options for one step of
// the import: built, loaded by the step, and destroyed when the step ends.
#pragma once

#include "settings/import_settings.h"
#include "settings/marketgate_status.h"

class OptionsHolder {
 public:
  OptionsHolder() { constructMarketgateStatus(object_); }
  ~OptionsHolder() { destroyMarketgateStatus(object_); }
  OptionsHolder(const OptionsHolder&) = delete;
  OptionsHolder& operator=(const OptionsHolder&) = delete;

  MarketgateStatus& object() { return object_; }
  // Loads the options afresh and gives them.
  const ImportSettings& load() {
    loadSettings(object_);
    return object_.settings;
  }

 private:
  MarketgateStatus object_;
};
