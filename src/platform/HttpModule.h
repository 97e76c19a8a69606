#pragma once
// libcurl behind THttpConnection: the module "http" (see platform/Module.h),
// loaded with the first request.
struct THttpRequest;
struct THttpHandlers;
struct THttpResult;

class IHttpModule {
 public:
  // A new easy handle (nullptr when libcurl cannot make one), and its end.
  virtual void* Open() = 0;
  virtual void Close(void* handle) = 0;
  // One request on `handle` (see THttpConnection::Perform).
  virtual THttpResult Perform(void* handle, const THttpRequest& request, const THttpHandlers& handlers) = 0;

 protected:
  ~IHttpModule() = default;
};

extern "C" [[gnu::weak]] IHttpModule* tressary_module_http();
