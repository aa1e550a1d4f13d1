#include "ui/toolkit/modal_owners.h"

namespace ui {

bool ModalOwners::Enter(const void* owner, bool ownerEnabled) {
  if (!owner) return false;
  Entry& entry = owners_[owner];
  const bool first = entry.loops == 0;
  ++entry.loops;
  if (first) entry.disabledByUs = ownerEnabled;
  return first && ownerEnabled;
}

bool ModalOwners::Leave(const void* owner) {
  auto it = owners_.find(owner);
  if (it == owners_.end()) return false;
  if (--it->second.loops > 0) return false;
  const bool enable = it->second.disabledByUs;
  owners_.erase(it);
  return enable;
}

int ModalOwners::Count(const void* owner) const {
  auto it = owners_.find(owner);
  return it == owners_.end() ? 0 : it->second.loops;
}

ModalOwners& ModalOwners::OfProcess() {
  static ModalOwners owners;
  return owners;
}

}  // namespace ui
