// The library's main block: registers the driver class and its 23 methods,
// in the order that gives each its number, when the library loads.
#include <cstdint>

#include "driver/my_class.h"
#include "v8napi/registry.h"

namespace {

using Method = bool (TMyClass::*)(V8Variant*, V8Variant*);

template <Method M>
bool Call(TV8UserObject* Self, V8Variant* RetValue, V8Variant* Params, std::int32_t) {
  return (static_cast<TMyClass*>(Self)->*M)(RetValue, Params);
}

struct MethodEntry {
  const char16_t* Name;
  const char16_t* NameLoc;
  TV8CallAsFunc Execute;
  std::int32_t ParamCount;
};

const MethodEntry kMethods[] = {
    {u"GetVersion", u"ПолучитьНомерВерсии", Call<&TMyClass::GetVersion>, 0},
    {u"GetDescription", u"ПолучитьОписание", Call<&TMyClass::GetDescription>, 7},
    {u"GetLastError", u"ПолучитьОшибку", Call<&TMyClass::GetLastError>, 1},
    {u"GetParameters", u"ПолучитьПараметры", Call<&TMyClass::GetParameters>, 1},
    {u"SetParameter", u"УстановитьПараметр", Call<&TMyClass::SetParameter>, 2},
    {u"GetParameter", u"ПолучитьПараметр", Call<&TMyClass::GetParameter>, 1},
    {u"Open", u"Подключить", Call<&TMyClass::Open>, 1},
    {u"Close", u"Отключить", Call<&TMyClass::Close>, 1},
    {u"DeviceTest", u"ТестУстройства", Call<&TMyClass::DeviceTest>, 2},
    {u"GetAdditionalActions", u"ПолучитьДополнительныеДействия",
     Call<&TMyClass::GetAdditionalActions>, 1},
    {u"GetDataKKT", u"ПолучитьПараметрыККТ", Call<&TMyClass::GetDataKKT>, 2},
    {u"OperationFN", u"ОперацияФН", Call<&TMyClass::OperationFN>, 3},
    {u"OpenShift", u"ОткрытьСмену", Call<&TMyClass::OpenShift>, 5},
    {u"CloseShift", u"ЗакрытьСмену", Call<&TMyClass::CloseShift>, 5},
    {u"ProcessCheck", u"СформироватьЧек", Call<&TMyClass::ProcessCheck>, 7},
    {u"ProcessCorrectionCheck", u"СформироватьЧекКоррекции",
     Call<&TMyClass::ProcessCorrectionCheck>, 6},
    {u"PrintTextDocument", u"НапечататьТекстовыйДокумент", Call<&TMyClass::PrintTextDocument>, 2},
    {u"CashInOutcome", u"НапечататьЧекВнесенияВыемки", Call<&TMyClass::CashInOutcome>, 3},
    {u"PrintXReport", u"НапечататьОтчетБезГашения", Call<&TMyClass::PrintXReport>, 2},
    {u"GetCurrentStatus", u"ПолучитьТекущееСостояние", Call<&TMyClass::GetCurrentStatus>, 5},
    {u"ReportCurrentStatusOfSettlements", u"ОтчетОТекущемСостоянииРасчетов",
     Call<&TMyClass::ReportCurrentStatusOfSettlements>, 3},
    {u"OpenCashDrawer", u"ОткрытьДенежныйЯщик", Call<&TMyClass::OpenCashDrawer>, 1},
    {u"GetLineLength", u"ПолучитьШиринуСтроки", Call<&TMyClass::GetLineLength>, 2},
};

bool RegisterDriver() {
  try {
    TClassReg& Class = ClassRegistry().RegisterClass(&TMyClass::Create, u"TKelvoKKM", u"TMyClass");
    for (const MethodEntry& M : kMethods) Class.AddFunc(M.Name, M.NameLoc, M.Execute, M.ParamCount);
  } catch (...) {
    // The library stays loaded with whatever was registered.
  }
  return true;
}

[[maybe_unused]] const bool Registered = RegisterDriver();

}  // namespace
