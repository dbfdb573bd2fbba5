#include "bench/context.h"

#include <cstring>
#include <stdexcept>

#include "bench/heap_counter.h"
#include "bench/packages.h"
#include "driver/json/json.h"
#include "platform/http_transport.h"

namespace bench {

namespace json = driver::json;
using harness::HostValue;

namespace {

// ProcessCheck's first output parameter (the receipt number).
constexpr std::size_t kReceiptOutputs = 3;

std::string Quoted(const std::string& Text) { return json::Write(json::Value::StringUtf8(Text)); }

std::string Exchange(const std::string& Url, const std::string* Body) {
  platform::HttpRequest Request;
  Request.Url = Url;
  if (Body) {
    Request.Post = true;
    Request.Headers = {{"Content-Type", "application/json"}};
    Request.Body = *Body;
  }
  const platform::HttpResponse Response = platform::HttpTransport().Send(Request);
  if (!Response.Received || Response.Status != 200)
    throw std::runtime_error("emulator control request failed: " + Url + " " + Response.Error);
  return Response.Body;
}

std::vector<HostValue> ReceiptArgs(const std::u16string& Device, const HostValue& Package) {
  return {HostValue::Str(Device), HostValue::Boolean(false), Package,           HostValue::Empty(),
          HostValue::Empty(),     HostValue::Empty(),        HostValue::Empty()};
}

}  // namespace

Context::Context(const std::string& AddinPath, const std::vector<int>& Sizes)
    : Register_(kelvo_emulator::Options{"", 4}), Library_(AddinPath), Memory_(0) {
  Address_ = "127.0.0.1:" + std::to_string(Register_.Start());
  const std::u16string Device = harness::FromUtf8(Address_);
  StatusArgs_ = {HostValue::Str(Device), HostValue::Empty(), HostValue::Empty(), HostValue::Empty(),
                 HostValue::Empty()};
  LineLengthArgs_ = {HostValue::Str(Device), HostValue::Empty()};
  Script("/api/1/receipt", "POST", kReceiptAnswer);
  Script("/api/1/shift/status", "GET", kShiftStatusAnswer);
  Script("/api/1/ofd/status", "GET", kExchangeStatusAnswer);

  Object_ = std::make_unique<harness::AddinObject>(Library_, Memory_, Connection_);
  if (!Object_->Valid()) throw std::runtime_error("the add-in gave no TMyClass object");
  for (const int N : Sizes) {
    Receipt& R = Receipts_[N];
    R.Package = HostValue::Str(harness::FromUtf8(SalePackage(N)));
    R.Args = ReceiptArgs(Device, R.Package);
    R.OfflineArgs = ReceiptArgs(u"bad/addr", R.Package);
    const harness::CallResult Result = ProcessCheck(N);
    if (!Result.Routine || !Result.Ret.Bool || Result.Params[3].Int != 7)
      throw std::runtime_error("ProcessCheck of " + std::to_string(N) +
                               " positions failed: " + Result.Describe());
    R.RequestBody = LastRequestBody();
  }
  const harness::CallResult Status = GetCurrentStatus();
  if (!Status.Routine || !Status.Ret.Bool || Status.Params[2].Int != 12)
    throw std::runtime_error("GetCurrentStatus failed: " + Status.Describe());
}

Context::~Context() {
  Object_.reset();
  Register_.Stop();
}

void Context::Script(const std::string& Path, const std::string& Method,
                     const std::string& Answer) {
  const std::string Fault = "{\"path\":" + Quoted(Path) + ",\"method\":" + Quoted(Method) +
                            ",\"action\":\"answer\",\"status\":200,\"contentType\":" +
                            Quoted("application/json; charset=utf-8") +
                            ",\"body\":" + Quoted(Answer) + ",\"times\":0}";
  Exchange(Url("/emulator/fault"), &Fault);
}

std::string Context::LastRequestBody() const {
  const json::Value Log =
      json::ReadStrictObject(Exchange(Url("/emulator/requests?last=1"), nullptr));
  const json::Value* List = json::Find(Log, "requests");
  if (!List || List->Elements().empty()) throw std::runtime_error("the register logged nothing");
  return json::Find(List->Elements().back(), "body")->Text();
}

harness::CallResult Context::ProcessCheck(int Positions) {
  return Object_->CallReading(u"ProcessCheck", Receipts_.at(Positions).Args, kReceiptOutputs);
}

harness::CallResult Context::GetCurrentStatus() {
  return Object_->CallReading(u"GetCurrentStatus", StatusArgs_, 1);
}

harness::CallResult Context::ProcessCheckOffline(int Positions) {
  return Object_->CallReading(u"ProcessCheck", Receipts_.at(Positions).OfflineArgs,
                              kReceiptOutputs);
}

harness::CallResult Context::GetLineLength() {
  return Object_->CallReading(u"GetLineLength", LineLengthArgs_, 1);
}

std::size_t Context::ProcessCheckPeakHeap(int Positions) {
  const v8abi::HostLong Method = Object_->FindMethod(u"ProcessCheck");
  const v8abi::HostLong Count = Object_->GetNParams(Method);
  const std::vector<HostValue>& Args = Receipts_.at(Positions).Args;
  std::vector<V8Variant> Params(v8abi::kParamArrayLength);  // all empty (zero)
  for (std::size_t I = 0; I < Args.size(); ++I) harness::ToVariant(Args[I], Params[I], Memory_);
  V8Variant Ret;
  std::memset(&Ret, 0, sizeof Ret);

  // Only the add-in's own call is inside the count, not the host's reading
  // of the parameters afterwards.
  HeapCounter::Start();
  const bool Routine = Object_->CallAsFunc(Method, &Ret, Params.data(), Count);
  const std::size_t Peak = HeapCounter::Stop();

  const bool Accepted = Ret.Type() == VTYPE_BOOL && Ret.VarEnum.bVal;
  harness::ReleaseVariant(Ret, Memory_);
  for (V8Variant& V : Params) harness::ReleaseVariant(V, Memory_);
  if (!Routine || !Accepted)
    throw std::runtime_error("ProcessCheck failed while counting the heap");
  return Peak;
}

}  // namespace bench
