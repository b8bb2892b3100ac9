// Lets a test call code that ends the process and observe the exit status.
#pragma once

#include "diag.h"

struct exit_called {
  int status;
};

inline void throwing_exit_hook(int status) { throw exit_called{status}; }

// Installs the hook for the lifetime of the object.
struct exit_seam {
  exit_seam() { tx_set_exit_hook(throwing_exit_hook); }
  ~exit_seam() { tx_set_exit_hook(nullptr); }
  exit_seam(const exit_seam&) = delete;
  exit_seam& operator=(const exit_seam&) = delete;
};

// The status f() ended the process with, or -1 when it returned.
template <class F>
int exit_status_of(F&& f) {
  exit_seam seam;
  try {
    f();
  } catch (const exit_called& e) {
    return e.status;
  }
  return -1;
}
