#pragma once
// The message of the exception of class E that a call raises, or "<no exception>".

#include <string>

namespace testsupport {

template <class E, class F>
std::string MessageOf(F&& Call) {
    try {
        Call();
    } catch (const E& Ex) {
        return Ex.Message();
    }
    return "<no exception>";
}

} // namespace testsupport
