// The one-time "Zainstalowano" notice, kept from showing again by the
// "Pytaj" flag in the host's own profile.
#include "frame/bounded_format.h"
#include "hostlink/host_services.h"
#include "frame/load_sequence.h"
#include "frame/plugin_identity.h"

namespace {
constexpr int32_t kNoticeContext = 1194;
constexpr char kNoticeFormat[] = "Zainstalowano: %s";
}  // namespace

void showFirstRunNotice() {
  if (hostQuietMode()) return;
  int32_t flag = 0;
  if (hostProfileValue(1, kProfileSection, kProfileAskKey, "%d", &flag) != 0) {
    flag = 0;
  } else if ((flag & 0xFFFF) != 0) {
    return;
  }
  char text[sizeof kNoticeFormat + sizeof kDisplayName];
  boundedFormat(text, sizeof text, kNoticeFormat, kDisplayName);
  hostNoticeWithFlag(kNoticeContext, &flag, text);
  hostProfileValue(2, kProfileSection, kProfileAskKey, "%d", static_cast<int>(static_cast<int16_t>(flag)));
}
