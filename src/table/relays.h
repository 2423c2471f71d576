#pragma once
// The two listeners a table registers: one with its window (messages and menu commands), one
// with the engine (user actions and modifications). Each forwards to the table's handlers and
// keeps exceptions from escaping into the caller's event loop: an engine error is shown the
// way the table shows errors, anything else is dropped.

#include "table/czat_psf1.h"

class CZAT_PSF1::Internals::FrameRelay : public platform::FrameClient {
 public:
  explicit FrameRelay(CZAT_PSF1& table) : table_(table) {}
  bool PreCreateWindow(platform::CreateStruct& cs) override;
  int OnCreate(platform::CreateStruct& cs) override;
  void OnSize(unsigned type, int cx, int cy) override;
  void OnClose() override;
  void OnDestroy() override;
  void OnTimer(unsigned id) override;
  void OnContextMenu(CWnd* wnd, const platform::Point& point) override;
  bool OnCommand(unsigned id) override;
  bool OnUpdateCommand(platform::CommandState& state) override;

 private:
  CZAT_PSF1& table_;
};

class CZAT_PSF1::Internals::ControlEventRelay : public engine::ControlEvents {
 public:
  explicit ControlEventRelay(CZAT_PSF1& table) : table_(table) {}
  void OnClick(int row, int col) override;
  void OnDblClick(int row, int col) override;
  void OnRClick(int row, int col) override;
  void OnRDblClick(int row, int col) override;
  void OnKeyDown(short& key, short shift) override;
  void OnStartEdit(std::string& text, short& cancel) override;
  void OnEndEdit(std::string& text, short& cancel) override;
  void OnModified() override;

 private:
  CZAT_PSF1& table_;
};
