// A family of system calls that tests must not make for real (a message box waits for a person,
// a print dialog for a printer, the shell's folders are the machine's own) goes through one
// replaceable function. The program calls it like the function it stands for; a test replaces
// it for a scope and gets the real one back when the scope ends:
//
//   const win::Replaced answered = win::messageBox.Replace(&test::AnswerBox);
#pragma once

#include <functional>
#include <utility>

namespace tessaly::win {

// Puts back what a replacement replaced, when it goes; replacements nest.
class [[nodiscard]] Replaced {
  public:
    explicit Replaced(std::function<void()> undo) : undo_(std::move(undo)) {}
    ~Replaced() {
        if (undo_) undo_();
    }
    Replaced(Replaced&& other) noexcept : undo_(std::exchange(other.undo_, nullptr)) {}
    Replaced(const Replaced&) = delete;
    Replaced& operator=(const Replaced&) = delete;
    Replaced& operator=(Replaced&&) = delete;

  private:
    std::function<void()> undo_;
};

template <class Signature>
class SystemCall;

template <class R, class... Args>
class SystemCall<R(Args...)> {
  public:
    using Function = std::function<R(Args...)>;

    explicit SystemCall(Function real) : current_(std::move(real)) {}
    SystemCall(const SystemCall&) = delete;
    SystemCall& operator=(const SystemCall&) = delete;

    R operator()(Args... args) const { return current_(std::forward<Args>(args)...); }

    // Calls `standIn` instead until the returned holder goes.
    Replaced Replace(Function standIn) {
        return Replaced([this, previous = std::exchange(current_, std::move(standIn))]() mutable {
            current_ = std::move(previous);
        });
    }

  private:
    Function current_;
};

}  // namespace tessaly::win
