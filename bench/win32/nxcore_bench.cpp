// nxcore.VatEngine's checkArray against nxvat's batch mode on the same numbers:
//   1. one checkArray call with 100 000 numbers (an array of VARIANT texts, prefix in each
//      number), made through IDispatch::Invoke as a script or macro makes it;
//      (and the same call through the vtable, as early-bound clients make it);
//   2. "nxvat check --batch" as a process over the same numbers (lines CC<TAB>NUMBER from a
//      file, verdicts to a file), start to exit.
//   nxcore_bench <nxcore.dll> <nxvat.exe>
// Half of the numbers are completed to valid numbers by the engine, half have their check
// character changed. Each figure is the median of 5 runs; the runs of the two sides alternate.
// After the timing both sides' verdicts are compared number by number.
// Exit status: 0 measured, 1 something failed or the verdicts differ, 2 usage.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/nif_validator.h"
#include "nxcore_h.h"

namespace {

constexpr int kNumbers = 100000;
constexpr int kRuns = 5;

struct Number {
  std::string code;
  std::string national;
};

std::vector<Number> makeNumbers() {
  const char* codes[] = {"PT", "DE", "EL", "IT", "PL", "DK", "ES", "AT", "NL", "BE"};
  const char* shapes[] = {"########?", "########?", "########?", "##########?",  "#########?",
                          "1######?",  "########?", "U#######?", "########?B01", "04#######?"};
  std::vector<Number> numbers;
  numbers.reserve(kNumbers);
  unsigned state = 12345u;
  auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
  while (static_cast<int>(numbers.size()) < kNumbers) {
    const std::size_t k = next() % 10;
    std::string body;
    for (const char* p = shapes[k]; *p; ++p)
      body += *p == '#' ? static_cast<char>('0' + next() % 10) : *p;
    std::string done = nx::taxid::completeNumber(body, nx::taxid::countryIndex(codes[k]));
    if (done.empty()) continue;
    if (numbers.size() % 2) {
      const std::size_t at = done.find_last_of("0123456789");
      done[at] = static_cast<char>('0' + (done[at] - '0' + 1 + next() % 9) % 10);
    }
    numbers.push_back({codes[k], done});
  }
  return numbers;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Runs nxvat over the input file, its output into outPath; milliseconds, or -1.
double runNxvat(const std::wstring& nxvat, const std::wstring& inPath,
                const std::wstring& outPath) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE in = CreateFileW(inPath.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0,
                          nullptr);
  HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, 0, nullptr);
  double ms = -1;
  if (in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring command = L"\"" + nxvat + L"\" check --batch";
    PROCESS_INFORMATION pi = {};
    const auto start = std::chrono::steady_clock::now();
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                       &pi)) {
      WaitForSingleObject(pi.hProcess, INFINITE);
      ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
               .count();
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
  }
  if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  return ms;
}

std::wstring widen(const char* s) {
  return std::wstring(s, s + strlen(s));
}

int bench(const std::wstring& dllPath, const std::wstring& nxvat) {
  HMODULE dll = LoadLibraryW(dllPath.c_str());
  if (!dll) {
    std::fprintf(stderr, "cannot load nxcore.dll\n");
    return 1;
  }
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto get = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
  IClassFactory* factory = nullptr;
  IDispatch* engine = nullptr;
  if (!get || FAILED(get(CLSID_VatEngine, IID_IClassFactory, reinterpret_cast<void**>(&factory))) ||
      FAILED(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&engine)))) {
    std::fprintf(stderr, "cannot create nxcore.VatEngine\n");
    if (factory) factory->Release();
    return 1;
  }
  factory->Release();
  DISPID checkArray = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"checkArray");
  engine->GetIDsOfNames(IID_NULL, &name, 1, 0, &checkArray);

  const std::vector<Number> numbers = makeNumbers();
  SAFEARRAYBOUND bound = {kNumbers, 0};
  VARIANT array;
  VariantInit(&array);
  V_VT(&array) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&array) = SafeArrayCreate(VT_VARIANT, 1, &bound);
  VARIANT* cells = nullptr;
  SafeArrayAccessData(V_ARRAY(&array), reinterpret_cast<void**>(&cells));
  std::string input;
  for (int i = 0; i < kNumbers; ++i) {
    const std::wstring text = widen((numbers[i].code + numbers[i].national).c_str());
    V_VT(&cells[i]) = VT_BSTR;
    V_BSTR(&cells[i]) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    input += numbers[i].code + "\t" + numbers[i].national + "\n";
  }
  SafeArrayUnaccessData(V_ARRAY(&array));

  wchar_t dir[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, dir);
  const std::wstring inPath = std::wstring(dir) + L"nxcore_bench_in.txt";
  const std::wstring outPath = std::wstring(dir) + L"nxcore_bench_out.txt";
  {
    HANDLE f = CreateFileW(inPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
    CloseHandle(f);
  }

  IVatEngine* direct = nullptr;
  engine->QueryInterface(IID_IVatEngine, reinterpret_cast<void**>(&direct));
  std::vector<double> com, vtable, tool;
  VARIANT result;
  VariantInit(&result);
  int status = 0;
  for (int run = 0; run < kRuns && status == 0; ++run) {
    VariantClear(&result);
    DISPPARAMS params = {&array, nullptr, 1, 0};
    const auto start = std::chrono::steady_clock::now();
    const HRESULT hr = engine->Invoke(checkArray, IID_NULL, 0, DISPATCH_METHOD, &params, &result,
                                      nullptr, nullptr);
    com.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    VARIANT missing, viaVtable;
    VariantInit(&missing);
    VariantInit(&viaVtable);
    V_VT(&missing) = VT_ERROR;
    V_ERROR(&missing) = DISP_E_PARAMNOTFOUND;
    const auto vtableStart = std::chrono::steady_clock::now();
    direct->checkArray(array, missing, &viaVtable);
    vtable.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - vtableStart)
            .count());
    VariantClear(&viaVtable);
    const double ms = runNxvat(nxvat, inPath, outPath);
    tool.push_back(ms);
    if (FAILED(hr) || ms < 0) {
      std::fprintf(stderr, "checkArray failed (0x%08lx) or nxvat did not run\n",
                   static_cast<unsigned long>(hr));
      status = 1;
    }
  }

  if (status == 0) {
    // Compare the verdicts of both sides.
    std::string verdicts;
    HANDLE f = CreateFileW(outPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got) verdicts.append(buffer, got);
    CloseHandle(f);
    VARIANT* out = nullptr;
    SafeArrayAccessData(V_ARRAY(&result), reinterpret_cast<void**>(&out));
    int differ = 0, valid = 0;
    for (int i = 0; i < kNumbers; ++i) {
      const bool mine = V_BOOL(&out[i]) == VARIANT_TRUE;
      const bool theirs =
          static_cast<std::size_t>(2 * i) < verdicts.size() && verdicts[2 * i] == '1';
      differ += mine != theirs;
      valid += mine;
    }
    SafeArrayUnaccessData(V_ARRAY(&result));
    const double a = median(com), b = median(tool);
    std::printf("numbers: %d (%d valid)\n", kNumbers, valid);
    std::printf("checkArray, one call through IDispatch: %9.1f ms\n", a);
    std::printf("checkArray, one call through the vtable: %9.1f ms\n", median(vtable));
    std::printf("nxvat check --batch, as a process:       %9.1f ms\n", b);
    std::printf("ratio nxvat / checkArray:                %9.2f\n", a > 0 ? b / a : 0.0);
    if (differ) {
      std::fprintf(stderr, "%d verdicts differ\n", differ);
      status = 1;
    }
  }
  VariantClear(&result);
  VariantClear(&array);
  direct->Release();
  engine->Release();
  DeleteFileW(inPath.c_str());
  DeleteFileW(outPath.c_str());
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: nxcore_bench <nxcore.dll> <nxvat.exe>\n");
    return 2;
  }
  CoInitialize(nullptr);
  const int status = bench(widen(argv[1]), widen(argv[2]));
  CoUninitialize();
  return status;
}
