#pragma once
// A data object as a drag source hands it over: each format a block of bytes
// in global memory, answered for TYMED_HGLOBAL only.
#include <windows.h>
#include <ole2.h>

#include <map>
#include <string>
#include <vector>

namespace vantorico::testing_support {

class TestDataObject final : public IDataObject {
 public:
  TestDataObject() = default;
  virtual ~TestDataObject() = default;

  void Offer(UINT format, std::string bytes) { formats_[format] = std::move(bytes); }
  // CF_HDROP: a DROPFILES block with the paths as ANSI (wide = false) or UTF-16.
  void OfferFiles(const std::vector<std::string>& paths, bool wide = false);

  int getDataCalls() const { return getDataCalls_; }
  ULONG referenceCount() const { return static_cast<ULONG>(references_); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  LONG references_ = 1;  // the test's own
  int getDataCalls_ = 0;
  std::map<UINT, std::string> formats_;
};

}  // namespace vantorico::testing_support
