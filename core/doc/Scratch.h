// Module-level working arrays: one instance of T for the whole run, built on
// first use and reused (cleared by its command) by every later run.
#pragma once

namespace vortel {

template <class T>
T& scratch() {
    static T instance;
    return instance;
}

}  // namespace vortel
