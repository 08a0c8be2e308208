#include "platform/comm/CommApi.h"

namespace comm {

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

DWORD CommApi::GetLastError() { return lastError; }

void CommApi::SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }

}  // namespace comm
