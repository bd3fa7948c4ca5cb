#include "platform/app_exception.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace lumo {
namespace {

ExceptionHandler& Handler() {
    static ExceptionHandler handler;
    return handler;
}

void WriteToStandardError(const std::exception& e) {
    std::fprintf(stderr, "lumo: %s\n", e.what());
}

void Report(const std::exception& e) noexcept {
    try {
        if (Handler())
            Handler()(e);
        else
            WriteToStandardError(e);
    } catch (...) {
        // A handler that throws has nowhere left to report to.
        WriteToStandardError(e);
    }
}

} // namespace

void SetExceptionHandler(ExceptionHandler handler) {
    Handler() = std::move(handler);
}

void HandleCurrentException() noexcept {
    try {
        throw;
    } catch (const std::exception& e) {
        Report(e);
    } catch (...) {
        Report(std::runtime_error("Unknown exception"));
    }
}

} // namespace lumo
