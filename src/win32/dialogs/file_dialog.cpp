#include <cwchar>
#include <memory>

#include "core/files/config_file.h"
#include "win32/dialogs/dialogs.h"
#include "win32/dialogs/file_dialog.h"
#include "win32/dialogs/hooks.h"

namespace tavio::win32 {
namespace {

// COM lives exactly as long as one dialog.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool ok() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

struct ComRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComRelease>;

struct TaskMemFree {
  void operator()(wchar_t* text) const { CoTaskMemFree(text); }
};

ComPtr<IFileDialog> CreateFileDialog(bool save) {
  void* dialog = nullptr;
  const HRESULT created =
      save ? CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_ALL, IID_IFileSaveDialog, &dialog)
           : CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_ALL, IID_IFileOpenDialog, &dialog);
  if (FAILED(created)) return nullptr;
  return ComPtr<IFileDialog>(static_cast<IFileDialog*>(dialog));
}

std::optional<std::string> RunFileDialog(HWND owner, bool save, Language language) {
  const ComApartment com;
  if (!com.ok()) return std::nullopt;
  const ComPtr<IFileDialog> dialog = CreateFileDialog(save);
  if (!dialog) return std::nullopt;
  if (FAILED(SetUpBinFileDialog(*dialog, language)) || FAILED(dialog->Show(owner))) {
    return std::nullopt;  // cancelling included
  }
  IShellItem* raw_item = nullptr;
  if (FAILED(dialog->GetResult(&raw_item))) return std::nullopt;
  const ComPtr<IShellItem> item(raw_item);
  wchar_t* raw_path = nullptr;
  if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &raw_path))) return std::nullopt;
  const std::unique_ptr<wchar_t, TaskMemFree> path(raw_path);
  return ToUtf8(Text(path.get(), path.get() + std::wcslen(path.get())));
}

}  // namespace

HRESULT SetUpBinFileDialog(IFileDialog& dialog, Language language) {
  const std::wstring name = Wide(ConfigFileFilter(language));
  const std::wstring pattern = Wide(kConfigFilePattern);
  const std::wstring suffix = Wide(kConfigFileSuffix);
  const COMDLG_FILTERSPEC type{name.c_str(), pattern.c_str()};  // the dialog keeps a copy
  HRESULT result = dialog.SetFileTypes(1, &type);
  if (SUCCEEDED(result)) result = dialog.SetFileTypeIndex(1);  // counted from 1
  if (SUCCEEDED(result)) result = dialog.SetDefaultExtension(suffix.c_str());
  return result;
}

std::optional<std::string> ChooseBinFile(HWND owner, bool save, Language language) {
  if (ActiveHooks().file) return ActiveHooks().file(save);
  return RunFileDialog(owner, save, language);
}

}  // namespace tavio::win32
