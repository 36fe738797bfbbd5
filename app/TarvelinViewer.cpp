#include "app/TarvelinViewer.h"

#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinEditRecords.h"
#include "app/edit/TarvelinImportItems.h"
#include "app/window/tarvelinSprite.h"

std::unique_ptr<TForm1> CreateViewerWindow() {
  auto window = std::make_unique<TForm1>();
  InstallEditPanel(*window);
  InstallRecordItems(*window);
  InstallImportItems(*window);
  return window;
}
