// The single-instance mutex and its message.
#include "win/single_instance.h"

#include "win/message_box.h"

namespace tessaly::win {

SingleInstance::SingleInstance(const std::string& name)
    : mutex_(CreateMutexA(nullptr, FALSE, name.c_str())) {
    if (mutex_ && GetLastError() == ERROR_ALREADY_EXISTS) {
        onlyCopy_ = false;
        ShowMessage(nullptr, name + " is already loaded", " ", MB_ICONHAND);
        mutex_.reset();  // the other copy's mutex is not ours to hold
    }
}

}  // namespace tessaly::win
