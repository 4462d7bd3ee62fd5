#pragma once
// A callable passed down a call and used only during it: a pointer to the
// caller's lambda and one to a function that calls it. Unlike std::function
// it owns nothing, never allocates and brings no type information into the
// statically linked Windows program, whose size is held to a limit.
#include <type_traits>
#include <utility>

namespace vantorico {

template <typename Signature>
class FunctionRef;

template <typename R, typename... Args>
class FunctionRef<R(Args...)> {
 public:
  template <typename F,
            typename = std::enable_if_t<!std::is_same<std::decay_t<F>, FunctionRef>::value>>
  FunctionRef(F&& f)  // NOLINT: made from any callable, as std::function is
      : object_(const_cast<void*>(static_cast<const void*>(&f))),
        call_([](void* object, Args... args) -> R {
          return (*static_cast<std::remove_reference_t<F>*>(object))(std::forward<Args>(args)...);
        }) {}
  R operator()(Args... args) const { return call_(object_, std::forward<Args>(args)...); }

 private:
  void* object_;
  R (*call_)(void*, Args...);
};

}  // namespace vantorico
