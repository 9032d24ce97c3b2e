#include "host/in_process.h"

#include <atomic>

#include "host/call_arguments.h"
#include "plugin/engine_api.h"

namespace cw::sim {
namespace {

// Values in front of the arguments, so that the argument offset matters.
constexpr std::uint32_t kValuesBeforeArguments = 3;

vm::NativeFunctionObject* FindNative(Machine& machine, std::string_view qualifiedName) {
  const std::size_t dot = qualifiedName.find('.');
  if (dot == std::string_view::npos) return nullptr;
  return machine.Find(std::string(qualifiedName.substr(0, dot)),
                      std::string(qualifiedName.substr(dot + 1)));
}

}  // namespace

std::unique_ptr<InProcessHost> InProcessHost::Start(const SessionOptions& options,
                                                    std::string* error) {
  static std::atomic<bool> started{false};
  if (started.exchange(true)) {
    *error = "the plugin was already started in this process";
    return nullptr;
  }
  std::unique_ptr<InProcessHost> host(new InProcessHost(options));
  switch (host->session_.Start(error)) {
    case StartResult::kAccepted:
      return host;
    case StartResult::kRefused:
    case StartResult::kFailed:
      break;
  }
  return nullptr;
}

InProcessHost::~InProcessHost() = default;

vm::NativeFunctionObject* InProcessHost::Find(std::string_view qualifiedName) {
  return FindNative(machine(), qualifiedName);
}

PreparedCall::PreparedCall(Machine& machine, vm::NativeFunctionObject* native)
    : machine_(machine),
      native_(native),
      dispatch_(reinterpret_cast<vm::OpDispatch>(native->ops[vm::op::kDispatch])),
      frame_{{&stack_}, kValuesBeforeArguments} {
  stack_.values.assign(kValuesBeforeArguments, vm::VMValue{vm::kNone, 0});
}

std::unique_ptr<PreparedCall> PreparedCall::Make(Machine& machine, std::string_view qualifiedName,
                                                 const std::vector<std::string>& arguments,
                                                 std::string* error) {
  vm::NativeFunctionObject* native = FindNative(machine, qualifiedName);
  if (!native) {
    *error = std::string("unknown native: ").append(qualifiedName);
    return nullptr;
  }
  if (arguments.size() != native->paramCount) {
    *error = std::string(qualifiedName) + " takes " + std::to_string(native->paramCount) +
             " argument(s), got " + std::to_string(arguments.size());
    return nullptr;
  }
  std::unique_ptr<PreparedCall> call(new PreparedCall(machine, native));
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    auto value = ArgumentValue(machine, arguments[i], native->params[i].type, error);
    if (!value) return nullptr;  // the values made so far are cleaned up by the destructor
    call->stack_.values.push_back(*value);
  }
  return call;
}

PreparedCall::~PreparedCall() {
  engine::decl::CleanValue(&result_);
  for (vm::VMValue& value : stack_.values) engine::decl::CleanValue(&value);
}

std::string PreparedCall::RunText() {
  Run();
  return FormatResult(machine_, result_, native_->returnType);
}

}  // namespace cw::sim
