#include "host/in_process.h"

#include <atomic>

#include "host/call_arguments.h"
#include "host/engine/functions.h"

namespace cw::sim {
namespace {

// Values in front of the arguments, so that the argument offset matters.
constexpr std::uint32_t kValuesBeforeArguments = 3;

NativeFunctionHead* FindNative(Machine& machine, std::string_view qualifiedName) {
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

NativeFunctionHead* InProcessHost::Find(std::string_view qualifiedName) {
  return FindNative(machine(), qualifiedName);
}

PreparedCall::PreparedCall(Machine& machine, NativeFunctionHead* native)
    : machine_(machine),
      native_(native),
      dispatch_(reinterpret_cast<FnMarshalAndDispatch>(
          native->table[function_slot::kMarshalAndDispatch])),
      frame_{{&stack_}, kValuesBeforeArguments} {
  stack_.values.assign(kValuesBeforeArguments, Value{type_word::kNone, 0});
}

std::unique_ptr<PreparedCall> PreparedCall::Make(Machine& machine, std::string_view qualifiedName,
                                                 const std::vector<std::string>& arguments,
                                                 std::string* error) {
  NativeFunctionHead* native = FindNative(machine, qualifiedName);
  if (!native) {
    *error = std::string("unknown native: ").append(qualifiedName);
    return nullptr;
  }
  const Machine::Signature signature = Machine::SignatureOf(native);
  if (arguments.size() != signature.parameters.size()) {
    *error = std::string(qualifiedName) + " takes " + std::to_string(signature.parameters.size()) +
             " argument(s), got " + std::to_string(arguments.size());
    return nullptr;
  }
  std::unique_ptr<PreparedCall> call(new PreparedCall(machine, native));
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    auto value = ArgumentValue(machine, arguments[i], signature.parameters[i], error);
    if (!value) return nullptr;  // the values made so far are cleaned up by the destructor
    call->stack_.values.push_back(*value);
  }
  return call;
}

PreparedCall::~PreparedCall() {
  CleanValue(&result_);
  for (Value& value : stack_.values) CleanValue(&value);
}

std::string PreparedCall::RunText() {
  Run();
  return FormatResult(machine_, result_, Machine::SignatureOf(native_).result);
}

}  // namespace cw::sim
