// ModalOwners: how many modal loops run over each owner window, so that the
// owner is disabled by the first and enabled again only by the last.
//
// Dialogs stack: a window event handled inside one dialog's modal loop may
// open a second dialog over the same owner, and the user may close the first
// while the second is still open. Had each loop enabled the owner as it
// ended, the owner would take input under an open modal dialog.
//
// Enter returns true when the caller is to disable the owner (the first loop
// over an owner that was enabled); Leave returns true when the caller is to
// enable it again (the last loop over an owner that the first one disabled).
// An owner that was already disabled when its first loop began (by someone
// else) is left disabled.
//
// Threads: the UI thread (one instance per process; windows live on it).
#pragma once

#include <map>

namespace ui {

class ModalOwners {
 public:
  bool Enter(const void* owner, bool ownerEnabled);
  bool Leave(const void* owner);
  int Count(const void* owner) const;

  static ModalOwners& OfProcess();

 private:
  struct Entry {
    int loops = 0;
    bool disabledByUs = false;
  };
  std::map<const void*, Entry> owners_;
};

}  // namespace ui
