// The floor every request of the module is measured against: a bare Node-API
// round trip (a promise, async work that does nothing, and a completion that
// resolves a small object). Built only for the benchmarks.
#include <node_api.h>

#include <new>

namespace {

struct bare_request {
  napi_async_work work = nullptr;
  napi_deferred deferred = nullptr;
};

void execute(napi_env, void *) {}

void complete(napi_env env, napi_status, void *data) {
  auto *request = static_cast<bare_request *>(data);
  napi_value result, status, operation;
  napi_create_object(env, &result);
  napi_create_string_utf8(env, "success", NAPI_AUTO_LENGTH, &status);
  napi_create_string_utf8(env, "Bare", NAPI_AUTO_LENGTH, &operation);
  napi_set_named_property(env, result, "status", status);
  napi_set_named_property(env, result, "operation", operation);
  napi_resolve_deferred(env, request->deferred, result);
  napi_delete_async_work(env, request->work);
  delete request;
}

napi_value round_trip(napi_env env, napi_callback_info info) {
  size_t argc = 1;
  napi_value argv[1];
  napi_get_cb_info(env, info, &argc, argv, nullptr, nullptr);
  auto *request = new (std::nothrow) bare_request;
  if (request == nullptr) return nullptr;
  napi_value promise, name;
  napi_create_string_utf8(env, "Bare", NAPI_AUTO_LENGTH, &name);
  napi_create_promise(env, &request->deferred, &promise);
  napi_create_async_work(env, nullptr, name, execute, complete, request, &request->work);
  napi_queue_async_work(env, request->work);
  return promise;
}

}  // namespace

NAPI_MODULE_INIT() {
  napi_property_descriptor property = {"roundTrip", nullptr, round_trip, nullptr, nullptr, nullptr, napi_default, nullptr};
  napi_define_properties(env, exports, 1, &property);
  return exports;
}
