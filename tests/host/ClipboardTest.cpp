// The clipboard object over the recording backend: who owns which handle, and
// which transfers reach the system clipboard.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "host/Canvas.h"
#include "host/Clipboard.h"
#include "host/Exception.h"
#include "host/Gdi.h"
#include "host/Graphics.h"
#include "host/Kernel.h"

namespace {

using TCall = TRecordingClipboardBackend::TCall;
using TTransfers = std::vector<TRecordingClipboardBackend::TTransfer>;

HGLOBAL Block(std::vector<BYTE> Bytes) {
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, Bytes.size());
  std::memcpy(GlobalLock(block), Bytes.data(), Bytes.size());
  GlobalUnlock(block);
  return block;
}

std::vector<BYTE> BytesOf(HGLOBAL Block) {
  const auto* data = static_cast<const BYTE*>(GlobalLock(Block));
  std::vector<BYTE> bytes(data, data + GlobalSize(Block));
  GlobalUnlock(Block);
  return bytes;
}

// A graphic whose clipboard form is three bytes and, when asked, a palette.
class TTinyGraphic final : public TGraphic {
 public:
  static std::unique_ptr<TGraphic> Make() { return std::make_unique<TTinyGraphic>(); }
  TGraphicClass ClassType() const override { return &Make; }
  void Assign(TPersistent*) override {}
  void Draw(TCanvas&, const TRect&) override {}
  bool GetEmpty() const override { return false; }
  int GetWidth() const override { return 1; }
  int GetHeight() const override { return 1; }
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  void SaveToClipboardFormat(WORD& Format, HGLOBAL& Data, HPALETTE& Palette) override {
    Format = 0x0C01;
    Data = Block({1, 2, 3});
    if (WithPalette) {
      LOGPALETTE record;
      record.palNumEntries = 2;
      record.palPalEntry[1] = {9, 8, 7, 0};
      Palette = CreatePalette(&record);
    }
  }
  bool WithPalette = false;
};

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override { FSaved = FClipboard.SetBackend(FBackend); }
  std::shared_ptr<TRecordingClipboardBackend> FBackend = std::make_shared<TRecordingClipboardBackend>();
  std::shared_ptr<TClipboardBackend> FSaved;
  TClipboard FClipboard;
};

}  // namespace

TEST_F(ClipboardTest, SetTakesTheBlockAndGetLendsOneUntilTheNextOpen) {
  const HGLOBAL given = Block({5, 6, 7, 8});
  FClipboard.SetAsHandle(CF_DIB, given);
  EXPECT_EQ(GlobalSize(given), 0u);  // the clipboard's now, and freed once read
  EXPECT_EQ(FBackend->Transfers,
            (TTransfers{{TCall::Open}, {TCall::Clear}, {TCall::SetData, CF_DIB, 4}, {TCall::Close}}));

  FBackend->Transfers.clear();
  FClipboard.Open();
  FClipboard.Open();  // nested: the system clipboard is opened once
  const HGLOBAL lent{FClipboard.GetAsHandle(CF_DIB)};
  EXPECT_FALSE(FClipboard.GetAsHandle(CF_BITMAP));
  FClipboard.SetAsHandle(CF_BITMAP, Block({1}));  // the first set empties the clipboard,
  FClipboard.SetAsHandle(0x0C02, Block({2}));     // later ones add to it
  FClipboard.Close();
  EXPECT_FALSE(FClipboard.HasFormat(CF_DIB));
  FClipboard.Close();
  FClipboard.Close();  // one too many: nothing
  EXPECT_EQ(FBackend->Transfers, (TTransfers{{TCall::Open},
                                             {TCall::GetData, CF_DIB, 4},
                                             {TCall::GetData, CF_BITMAP, 0},
                                             {TCall::Clear},
                                             {TCall::SetData, CF_BITMAP, 1},
                                             {TCall::SetData, 0x0C02, 1},
                                             {TCall::HasFormat, CF_DIB},
                                             {TCall::Close}}));
  EXPECT_EQ(BytesOf(lent), (std::vector<BYTE>{5, 6, 7, 8}));  // still valid after closing
  EXPECT_TRUE(FClipboard.HasFormat(0x0C02));
  EXPECT_EQ(GlobalSize(lent), 0u);  // gone at the next open

  EXPECT_THROW(FClipboard.SetAsHandle(CF_DIB, HGLOBAL{{999999}}), EInvalidOperation);
  FBackend->RefuseOpen = true;
  try {
    FClipboard.Clear();
    ADD_FAILURE() << "opened";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), SCannotOpenClipboard);
  }
}

TEST_F(ClipboardTest, PalettesTravelAsEntriesAndBadOnesAreRefused) {
  TTinyGraphic graphic;
  graphic.WithPalette = true;
  FClipboard.Assign(&graphic);
  EXPECT_EQ(FBackend->Transfers, (TTransfers{{TCall::Open},
                                             {TCall::Clear},
                                             {TCall::SetData, 0x0C01, 3},
                                             {TCall::SetData, CF_PALETTE, 4 + 2 * 4},
                                             {TCall::Close}}));
  const HPALETTE palette{FClipboard.GetAsHandle(CF_PALETTE)};
  PALETTEENTRY entries[2];
  ASSERT_EQ(GetPaletteEntries(palette, 0, 2, entries), 2u);
  EXPECT_EQ(entries[1].peRed, 9);
  EXPECT_EQ(entries[1].peBlue, 7);
  EXPECT_EQ(BytesOf(HGLOBAL{FClipboard.GetAsHandle(0x0C01)}), (std::vector<BYTE>{1, 2, 3}));

  // A record that is cut short or counts no or too many entries is no palette.
  for (const std::vector<BYTE>& bad : {std::vector<BYTE>{0, 3, 1}, std::vector<BYTE>{0, 3, 2, 0, 1, 2, 3, 0},
                                       std::vector<BYTE>{0, 3, 0, 0}, std::vector<BYTE>{0, 3, 0x01, 0x01}}) {
    FBackend->SetData(CF_PALETTE, bad);
    EXPECT_FALSE(FClipboard.GetAsHandle(CF_PALETTE));
  }

  TPicture picture;
  picture.SetGraphic(&graphic);
  FClipboard.Assign(&picture);  // its graphic
  EXPECT_TRUE(FClipboard.HasFormat(0x0C01));
  TPicture empty;
  EXPECT_THROW(FClipboard.Assign(&empty), EConvertError);
}
