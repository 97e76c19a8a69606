#include "editor/forms/MainWindowLinks.h"

#include "editor/forms/FormAdjust.h"
#include "editor/forms/FormLayerRegions.h"
#include "editor/forms/FormLayers.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormPreview.h"
#include "editor/forms/FormSetup.h"
#include "shell/forms/StandingForms.h"

void ConnectMainWindow(TFormMain& main) {
  if (IAdjustHost* host = main.AdjustHost()) RegisterFormAdjust(*host);
  LinkStandingForm<TFormSetup>("FormSetup", [&main](TFormSetup& form) { form.SetMusic(&main.Music()); });
  LinkStandingForm<TFormLayers>("FormLayers", [&main](TFormLayers& form) { form.MainWindow = &main; });
  LinkStandingForm<TFormLayerRegions>("FormLayerRegions",
                                      [&main](TFormLayerRegions& form) { form.MainWindow = &main; });
  LinkStandingForm<TFormPreview>("FormPreview", [&main](TFormPreview& form) { form.MainWindow = &main; });
}
