// filterhost's results are the filter's errors as values (expected.h), used throughout the host
// under these names.
#pragma once

#include "expected.h"

namespace filterhost {

using kantora::Done;
using kantora::Expected;
using kantora::Fail;
using kantora::Failure;
using kantora::FailureKind;
using kantora::Ok;
using kantora::Status;

}  // namespace filterhost
