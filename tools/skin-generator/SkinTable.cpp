#include "SkinTable.h"

namespace {
constexpr TDefaultSkin kSkins[] = {
    {"FormMain.psd", TSkinStyle::MainWindow, 980, 720, 790, 590},
    {"FormMess.psd", TSkinStyle::Window, 400, 200, 380, 190},
    {"FormTips.psd", TSkinStyle::Window, 440, 320, 400, 290},
    {"FormHelp.psd", TSkinStyle::Window, 660, 540, 560, 460},
    {"FormSetup.psd", TSkinStyle::Window, 540, 440, 500, 410},
    {"FormAdjs.psd", TSkinStyle::Window, 580, 596, 580, 476},
    {"FormLayr.psd", TSkinStyle::Window, 280, 440, 250, 400},
    {"FormPreview.psd", TSkinStyle::Window, 280, 320, 240, 280},
    {"FormLoSa.psd", TSkinStyle::Window, 286, 300, 286, 300},
    {"FormMask.psd", TSkinStyle::Window, 440, 380, 400, 340},
    {"FormQuer.psd", TSkinStyle::Window, 580, 460, 520, 420},
    {"FormTmpl.psd", TSkinStyle::Window, 240, 416, 240, 416},
    {"FormLrgs.psd", TSkinStyle::Window, 233, 338, 233, 338},
    {"FormLrge.psd", TSkinStyle::Dialog, 730, 620, 730, 620},
    {"FormLsav.psd", TSkinStyle::Dialog, 273, 172, 273, 172},
    {"FormIMod.psd", TSkinStyle::Window, 272, 330, 272, 330},
    {"FormPmsg.psd", TSkinStyle::Dialog, 568, 470, 568, 470},
    {"FormEMail.psd", TSkinStyle::Window, 500, 420, 460, 390},
    {"FormPrint.psd", TSkinStyle::Window, 501, 348, 501, 348},
    {"FormCamr.psd", TSkinStyle::Window, 340, 228, 340, 228},
    {"FormIReg.psd", TSkinStyle::Dialog, 344, 300, 344, 300},
    {"FormChatReg.psd", TSkinStyle::Window, 420, 260, 420, 260},
    {"FormChat.psd", TSkinStyle::Window, 600, 440, 600, 440},
    {"FormTalk.psd", TSkinStyle::Window, 400, 320, 400, 320},
    {"FormDnld.psd", TSkinStyle::Window, 640, 480, 600, 450},
    {"FormFrGl.psd", TSkinStyle::Window, 700, 500, 700, 500},
    {"FormToGl.psd", TSkinStyle::Dialog, 420, 370, 420, 370},
    {"FormBaldHead.psd", TSkinStyle::Window, 730, 620, 730, 620},
    {"FormClbr.psd", TSkinStyle::Dialog, 730, 620, 730, 620},
    {"FormShopList.psd", TSkinStyle::Window, 645, 520, 645, 520},
    {"FormPcrd.psd", TSkinStyle::Window, 664, 521, 664, 521},
    {"FormPctx.psd", TSkinStyle::Dialog, 420, 330, 420, 330},
    {"FormPcbg.psd", TSkinStyle::Dialog, 240, 250, 240, 250},
    {"FormVideo.psd", TSkinStyle::Window, 545, 370, 545, 370},
    {"FormCatalog.psd", TSkinStyle::Window, 500, 480, 500, 480},
};
}  // namespace

std::span<const TDefaultSkin> DefaultSkins() { return kSkins; }
