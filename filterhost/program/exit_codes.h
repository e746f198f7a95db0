// filterhost's process exit codes: what each kind of failure ends the run with.
#pragma once

#include "host_results.h"

namespace filterhost {

enum ExitCode : int {
    kExitOk = 0,
    kExitFailure = 1,
    kExitCancelled = 1,  // the user cancelled the filter's dialog; nothing is printed
    kExitUsage = 2,
    kExitSavedWithoutSettings = 3,  // the script-string callback could not write its call
};

inline int ExitCodeOf(FailureKind kind) {
    switch (kind) {
    case FailureKind::Usage:
        return kExitUsage;
    case FailureKind::Cancelled:
        return kExitCancelled;
    case FailureKind::SavedWithoutSettings:
        return kExitSavedWithoutSettings;
    case FailureKind::Error:
        break;
    }
    return kExitFailure;
}

}  // namespace filterhost
