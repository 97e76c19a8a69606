#include "exchange/WorkMailer.h"

#include <system_error>
#include <utility>

#include "editor/MainShell.h"
#include "exchange/MailAccount.h"
#include "platform/FileIO.h"
#include "shell/ProductInfo.h"
#include "shell/Termins.h"

namespace {
constexpr std::string_view kDescription = "Lumbrae-generated mail";
}

std::string_view MailMessageDefault(std::string_view key) {
  static constexpr std::pair<std::string_view, std::string_view> kTexts[] = {
      {"MessageWorkIsEmpty", "The work is empty."},
      {"MessageUnableSaveImage", "Unable to save the picture."},
      {"MessageUnableSaveWork", "Unable to save work to file"},
      {"MessageServerWarning", "No mail server is set. Enter the server of your mail provider in the settings."},
      {"MessageIncorrectEmailAddress", "Please enter a correct e-mail address."},
      {"MessageMailSentOK", "The mail was sent."},
      {"MessageMailNoSenderAddress",
       "No sender address is known. Set up a mail account, or enter your address as FromAddress in the MAIL "
       "section of the settings."},
  };
  return DefaultTextOf(kTexts, key);
}

TWorkMailer::TWorkMailer(IWorkMailUi& ui, IWorkPicture& work, TWorkBytesSource compressedWork,
                         const TMainSettings& settings)
    : ui_(ui), work_(work), compressedWork_(std::move(compressedWork)), settings_(settings) {}

bool TWorkMailer::SendImage() { return Send(TForm::Picture); }
bool TWorkMailer::SendWork() { return Send(TForm::Work); }

// A folder of its own for each attachment, so that the file keeps its plain name
// ("portrait.jpg") in the mail while no two sends share a file.
TFileResult<fs::path> TWorkMailer::WriteAttachment(TForm form) {
  std::error_code error;
  const fs::path folder = NewTempFilePath("");
  if (folder.parent_path().empty() || !fs::create_directory(folder, error))
    return FileError(TFileFault::CannotWrite, folder, error.value());
  if (form == TForm::Picture) {
    const fs::path file = folder / "portrait.jpg";
    if (TFileResult<> saved = SaveWorkPicture(work_, file); !saved) return saved.Error();
    return file;
  }
  const fs::path file = folder / ("Session" + CompressedWorkExt);
  if (!compressedWork_) return FileError(TFileFault::Empty, file);
  const TFileResult<std::vector<std::uint8_t>> bytes = compressedWork_();
  if (!bytes) return bytes.Error();
  if (TFileResult<> written = WriteFileAtomic(file, *bytes); !written) return written.Error();
  return file;
}

// The settings' server, else the one of the default mail account as it is now
// (the e-mail window looks the account up again as it opens).
bool TWorkMailer::FindMailServer() {
  if (!settings_.MailServer.empty() || !DefaultMailAccount().Server.empty()) return true;
  ui_.ShowMessage("MessageServerWarning");
  return false;
}

bool TWorkMailer::Send(TForm form) {
  if (work_.WorkIsEmpty()) {
    ui_.ShowMessage("MessageWorkIsEmpty");
    return false;
  }
  ui_.CloseWindow();
  ui_.SetBusy(true);
  const TFileResult<fs::path> file = WriteAttachment(form);
  ui_.SetBusy(false);
  if (!file) {
    ui_.ShowMessage(form == TForm::Picture ? "MessageUnableSaveImage" : "MessageUnableSaveWork");
    return true;
  }

  TMapiMessage message;
  message.Subject = GetTerm("FormEmailDefaultSubjectText", ProgramTexts(), "");
  message.File = *file;
  // The mail program reads the file after xdg-email has returned, so it stays
  // until the program ends.
  const int result = ui_.IsMapiAvailable() ? ui_.SendMapiMail(message) : kMapiFailure;
  if (result == kMapiSuccess || result == kMapiUserAbort) return true;

  if (FindMailServer()) {
    TMailAttachment attachment;
    attachment.name = file->filename().string();
    attachment.contentType = std::string(kDefaultContentType);
    attachment.disposition = std::string(kDefaultDisposition);
    attachment.description = std::string(kDescription);
    attachment.path = file->string();
    ui_.RunEmailWindow(attachment);
  }
  // Our own window has sent the file or given up on it by now.
  std::error_code error;
  fs::remove_all(file->parent_path(), error);
  return true;
}
