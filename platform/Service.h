// How the program reaches each platform service, and the one way to put another in its place.
//
// A service is a class whose object holds everything the service remembers (virtual where a
// stand-in answers differently). The program uses one object of each service, reached through
// Current<S>() by the functions of the service's header, which are what the layers above call.
// Replace<S> puts another object in place for as long as it lives and puts the one before back
// when it ends; an object made for it starts with nothing remembered, so what one user of the
// service leaves behind goes with that object.
#pragma once

#include <utility>

namespace platform {

template <class S> class Replace;
template <class S> S& Current();

template <class S> class Service {
    // The program's own object, made when first used; each service defines it beside its
    // implementation and declares it in its header.
    static S& Real();
    static inline S* Replaced = nullptr;

    friend class Replace<S>;
    friend S& Current<S>();
};

// The object of service S in use.
template <class S> S& Current() {
    S* const replaced = Service<S>::Replaced;
    return replaced ? *replaced : Service<S>::Real();
}

template <class S> class Replace {
public:
    // Puts the object (not owned) in place until this ends.
    explicit Replace(S& with) : Previous(std::exchange(Service<S>::Replaced, &with)) {}
    // Puts the program's own object in place until this ends.
    Replace() : Replace(Service<S>::Real()) {}
    ~Replace() { Service<S>::Replaced = Previous; }
    Replace(const Replace&) = delete;
    Replace& operator=(const Replace&) = delete;

private:
    S* const Previous;
};

} // namespace platform
