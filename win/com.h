// COM for one scope, and the pointer that holds an interface: every COM user's one way.
#pragma once

#include <objbase.h>
#include <wrl/client.h>

namespace tessaly::win {

// Holds COM on this thread for a scope; a thread that already has it keeps it.
class ComScope {
  public:
    ComScope() : result_(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    HRESULT result_;
};

// An interface pointer released when it goes.
using Microsoft::WRL::ComPtr;

}  // namespace tessaly::win
