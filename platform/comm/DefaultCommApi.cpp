// Until the POSIX layer lands, the process-wide CommApi is a fake with no ports.
#include "platform/comm/FakeCommApi.cpp"

namespace comm {

CommApi& DefaultCommApi() {
  static FakeCommApi api;
  return api;
}

}  // namespace comm
