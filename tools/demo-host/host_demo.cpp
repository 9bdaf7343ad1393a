// A stand-in database server: loads Wrenbridge.dll and calls its exports the way a stored
// procedure and the trigger it fires would, every argument by reference.
//
//   host_demo [DLL]      (default: Wrenbridge.dll, found by the system's search rules)
//
// Exports are looked up by name; one the library does not have is skipped and named at the end.
// Unloading the library at the end closes its connection. Exits 0 when the library loaded.
#include <cstdio>
#include <set>
#include <string>
#include <type_traits>

#include "platform/win32/windows_include.h"

namespace {

using Text = int(__cdecl*)(const char*);
using Text2 = int(__cdecl*)(const char*, const char*);
using Text3 = int(__cdecl*)(const char*, const char*, const char*);
using TextInt = int(__cdecl*)(const char*, const int*);
using TextDouble = int(__cdecl*)(const char*, const double*);
using Text2Int = int(__cdecl*)(const char*, const char*, const int*);
using Text2Double = int(__cdecl*)(const char*, const char*, const double*);
using None = int(__cdecl*)();
using NoResult = void(__cdecl*)(const char*, const char*);

// The loaded library, freed (and so disconnected) when the host is done with it.
class Library {
 public:
  explicit Library(const char* path) : module_(LoadLibraryA(path)) {}
  ~Library() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  bool ok() const { return module_ != nullptr; }

  // Calls the export with the arguments; a missing export is noted and skipped.
  template <typename Fn, typename... Args>
  void Call(const char* name, int expected, Args... args) {
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    if (fn == nullptr) return Skip(name);
    ++made_;
    if constexpr (std::is_void_v<decltype(fn(args...))>) {
      fn(args...);
    } else {
      const int result = fn(args...);
      if (result != expected) std::printf("host_demo: %s returned %d\n", name, result);
    }
  }
  void Summary() const {
    std::printf("host_demo: %d calls made, %d skipped\n", made_, skipped_);
    if (missing_.empty()) return;
    std::string names;
    for (const std::string& name : missing_) names += (names.empty() ? "" : ", ") + name;
    std::printf("host_demo: not exported by this library: %s\n", names.c_str());
  }

 private:
  void Skip(const char* name) {
    ++skipped_;
    missing_.insert(name);
  }
  HMODULE module_;
  int made_ = 0;
  int skipped_ = 0;
  std::set<std::string> missing_;
};

// BEFORE INSERT trigger on ORDERS: records the new row's columns.
void OrdersBeforeInsert(Library& wl) {
  const int id = 1001;
  const double amount = 99.5;
  wl.Call<Text>("wlEnterMethod", 0, "ORDERS_BI");
  wl.Call<Text2Int>("wlWriteInteger", 0, "ORDERS", "ID", &id);
  wl.Call<Text3>("wlWriteString", 0, "ORDERS", "STATUS", "new");
  wl.Call<Text2Double>("wlWriteFloat", 0, "ORDERS", "AMOUNT", &amount);
  wl.Call<Text2>("wlWriteMsg", 0, "ORDERS", "row checked");
  wl.Call<Text>("wlSendNote", 0, "credit limit checked for customer 17");
  wl.Call<Text>("wlExitMethod", 0, "ORDERS_BI");
}

// The procedure reports an error the way SQL code can: its own category and colour.
void ReportCreditError(Library& wl) {
  wl.Call<Text>("wlCategory", 0, "Errors");
  wl.Call<Text>("wlCategoryColor", 0, "clRed");
  wl.Call<Text>("wlSendMsg", 0, "ERROR: credit limit exceeded for customer 17");
  wl.Call<None>("wlAddCheckpoint", 0);
  wl.Call<Text>("wlCategoryColor", -1, "clNoSuchColour");  // refused by the library: -1
  wl.Call<Text>("wlCategory", 0, "Orders");
  wl.Call<Text>("wlCategoryColor", 0, "clBlue");
}

// Stored procedure PROCESS_ORDER.
void ProcessOrder(Library& wl) {
  const int order = 1001;
  const double total = 1234567.891;
  wl.Call<None>("wlClear", 0);
  wl.Call<Text>("wlCategory", 0, "Orders");
  wl.Call<Text>("wlCategoryColor", 0, "clBlue");
  wl.Call<Text>("wlEnterMethod", 0, "PROCESS_ORDER");
  wl.Call<Text2>("wlSendString", 0, "Customer", "Smith & Co");
  wl.Call<TextInt>("wlSendInteger", 0, "Order", &order);
  wl.Call<TextDouble>("wlSendFloat", 0, "Total", &total);
  wl.Call<None>("wlAddCheckpoint", 0);
  OrdersBeforeInsert(wl);
  ReportCreditError(wl);
  wl.Call<None>("wlAddSeparator", 0);
  wl.Call<None>("wlSendMemoryStatus", 0);
  wl.Call<Text>("wlDestinationDetails", 0, "Audit");
  wl.Call<Text>("wlSendMsg", 0, "order 1001 written to the audit trail");
  wl.Call<Text>("wlDestinationDetails", 0, "Viewer");
  wl.Call<NoResult>("wlSendString2", 0, "Result", "done");
  wl.Call<None>("wlResetCheckpoint", 0);
  wl.Call<Text>("wlExitMethod", 0, "PROCESS_ORDER");
}

// The switch a procedure can use to silence the library for a while.
void QuietSpell(Library& wl) {
  wl.Call<None>("wlDisable", 0);
  wl.Call<Text>("wlSendMsg", 0, "not sent while disabled");
  wl.Call<None>("wlEnabled", 0);
  wl.Call<None>("wlEnable", 0);
  wl.Call<None>("wlEnabled", 1);
  wl.Call<Text>("wlSendMsg", 0, "session done");
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "Wrenbridge.dll";
  Library wl(path);
  if (!wl.ok()) {
    std::printf("host_demo: cannot load %s (error %lu)\n", path, GetLastError());
    return 1;
  }
  ProcessOrder(wl);
  QuietSpell(wl);
  wl.Summary();
  return 0;
}
