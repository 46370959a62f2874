// The program's texts, exactly as it words them: every message box text and
// caption, window and button texts, file-dialog filters and the command
// line's prompts. One table for package/, shell/ and the command line, so a
// text is written once whoever shows it.
#pragma once

namespace package::msg {

// Captions and titles.
inline constexpr const char* kWarningCaption = "경고";
inline constexpr const char* kProductCaption = "Vellora";
inline constexpr const char* kKoreanProductCaption = "벨로라";
inline constexpr const char* kConfirmedCaption = "확인";
inline constexpr const char* kWindowTitle = "Vellora 벨로라";
inline constexpr const char* kDeletionProgressTitle = "파일 영구 삭제";
inline constexpr const char* kChooseFolderTitle = "폴더를 선택해 주세요.";
inline constexpr const char* kCancelButton = " 취소 ";

// Reading packages.
inline constexpr const char* kCountRead = "파일 갯수 가져오기 오류";
inline constexpr const char* kFlagRead = "메세지 or 파일 구분 읽기 오류";
inline constexpr const char* kMessageLengthRead = "메세지 길이 읽기 오류";
inline constexpr const char* kMessageRead = "메세지 읽기 오류";
inline constexpr const char* kNameLengthRead = "파일 이름 길이 읽기 오류";
inline constexpr const char* kNameRead = "파일 이름 읽기 오류";
inline constexpr const char* kFileLengthRead = "파일 길이 읽기 오류";
inline constexpr const char* kHeaderLengthRead = "파일 헤더 총길이 읽기 오류";
inline constexpr const char* kAlgorithmRead = "암호화 알고리즘 읽어오기 오류";
inline constexpr const char* kEncryptedMessageRead = "암호화된 메세지 읽어오기 오류";

// Encrypting.
inline constexpr const char* kNothingToEncrypt = "파일이나 메세지를 선택해 주세요.";
inline constexpr const char* kChoosePictures = "BMP 파일을 선택해 주세요.";
inline constexpr const char* kPicturesTooSmall = "데이터를 숨길 bmp파일이 부족합니다.";
inline constexpr const char* kKeyFileOpen = "인증서파일 열기 오류";
inline constexpr const char* kNameTaken = "동일한 파일명이 있습니다.";
inline constexpr const char* kEncryptCancelled = "암호화가 취소되었습니다.";
inline constexpr const char* kFileOpen = "파일 열기 오류";
inline constexpr const char* kWriteFailed = "Fail to write..";
inline constexpr const char* kEncryptedPackage = "성공적으로 암호화되었습니다.";
inline constexpr const char* kEncryptedEach = "암호화가 성공적으로 마쳤습니다.";
inline constexpr const char* kDuplicateFile = "동일한 파일이 존재합니다.";
inline constexpr const char* kEncryptLimit =
    "한번에 암호화 할 수 있는 용량인 1.5G를 초과하였습니다.";
inline constexpr const char* kTooManyPictures = "bmp파일이 120개를 넘을 수 없습니다.";
inline constexpr const char* kHiddenFileOpen = "숨길 그림파일 열기 오류";
inline constexpr const char* kPictureOpen = "그림파일 열기 오류";
inline constexpr const char* kEnough = "충분";
inline constexpr const char* kShortFormat = "%d kbytes 부족";
inline constexpr const char* kHidingStatus = "Hiding in BMP file....";
inline constexpr const char* kTooManyEntries = "파일은 한번에 65535개까지 암호화할 수 있습니다.";
inline constexpr const char* kTooManyRecipients = "공유키는 128개까지 선택할 수 있습니다.";
inline constexpr const char* kTextNotEncodable =
    "이 문자는 저장할 수 없습니다 (코드 페이지 949 밖의 문자): ";
inline constexpr const char* kOutputIsInput = "암호화할 파일과 같은 이름으로 저장할 수 없습니다.";
inline constexpr const char* kWrittenThisRun =
    "이번 작업에서 이미 같은 이름의 파일을 만들었습니다.";
inline constexpr const char* kLeafNameTwice =
    "같은 이름의 파일은 한 꾸러미에 함께 넣을 수 없습니다.";
inline constexpr const char* kPictureIsInput = "숨길 파일을 그림파일로 함께 쓸 수 없습니다.";
inline constexpr const char* kLogIsWorkFile =
    "로그 파일은 이 작업에서 읽거나 쓰는 파일과 같을 수 없습니다.";
inline constexpr const char* kHiddenMismatch =
    "그림파일에서 다시 맞춘 내용이 숨긴 암호화 파일과 다릅니다. 원본 파일은 지우지 않았습니다.";

// Hiding and joining.
inline constexpr const char* kPictureNumberWrite = "그림파일 번호 쓰기 오류";
inline constexpr const char* kEncryptedFileRead = "암호화된 파일 읽기 오류";
inline constexpr const char* kPieceWrite = "임시파일에 암호화된 파일 쓰기 오류";
inline constexpr const char* kTooBig = "Secret File Too big to fit into this file";
inline constexpr const char* kPieceNumberRead = "파일순서 번호 읽기 오류";
inline constexpr const char* kWrongCombination = "그림파일들의 조합이 잘못되었습니다.";
inline constexpr const char* kJoinedCreate = "한 파일에 쓰기 오류";
inline constexpr const char* kFileRead = "파일 읽기 오류";
inline constexpr const char* kJoinedWrite = "암호화된 파일 한 파일에 쓰기 오류";

// Decrypting.
inline constexpr const char* kNoInputs = "복호화할 파일을 선택해 주세요.";
inline constexpr const char* kNoOutputFolder = "복호화한 파일을 저장 할 경로을 지정해 주세요.";
inline constexpr const char* kMixedInputs =
    "파일이 숨겨있는 BMP파일과 일반 암호화 파일을 \r\n함께 복호화 하지 못합니다.";
inline constexpr const char* kNotEncrypted = "암호화되지 않은 파일이 있습니다.";
inline constexpr const char* kNoKindFound =
    "잘못된 암호화 파일이거나 \r\n암호화된 파일이 아닙니다.";
inline constexpr const char* kWrongPasswordSuffix = "의 비밀번호가 맞지 않습니다.";
inline constexpr const char* kWrongPassword = "비밀번호가 맞지 않습니다.";
inline constexpr const char* kMessageCreate = "파일 불러오기 실패";
inline constexpr const char* kDecrypted = "파일을 성공적으로 풀었습니다.";
inline constexpr const char* kDecryptCancelled = "복호화가 취소되었습니다.";
inline constexpr const char* kDecryptLimit =
    "한번에 복호화 할 수 있는 용량인 1.5G를 초과하였습니다.";
inline constexpr const char* kUnhidingStatus = "Unhinding....";

inline constexpr const char* kSharingRefusesPictures =
    "현재 '파일공유'암호화를 사용하계십니다. \n'파일공유'암호화는 'BMP 파일에 숨김' 기능을 "
    "지원하지 않습니다.";
inline constexpr const char* kChooseRecipients = "공유키 파일을 선택해 주세요";
inline constexpr const char* kSaveFilterVlr = "vlr 파일 (*.vlr)|*.vlr|";
inline constexpr const char* kSaveFilterAll = "모든 파일 (*.*)|*.*|";
inline constexpr const char* kMessageWord = "Message";

// Passwords: the dialogs and the command line's terminal. kWrongPassword also
// answers two entries that differ.
inline constexpr const char* kEnterPassword = "비밀번호를 입력해 주세요";
inline constexpr const char* kPasswordTooShort = "비밀번호를 6자리 이상 입력해 주세요";
inline constexpr const char* kPasswordWord = "비밀번호";
inline constexpr const char* kPasswordPrompt = "비밀번호 / Password: ";
inline constexpr const char* kPasswordAgainPrompt = "비밀번호 확인 / Again: ";

// The main window.
inline constexpr const char* kFilesRemoved = "선택한 파일이 삭제되었습니다.";
inline constexpr const char* kMessageTooLong = "허용 문자수를 초과하였습니다. ";
inline constexpr const char* kDeletionTooltip =
    "삭제할 파일을 끌어서 이곳에 넣어주세요. \n영구삭제 되어 파일을 복구할 수 없으니 \n주의하시기 "
    "바랍니다.";
inline constexpr const char* kAddFilesFilter = "모든 파일 (*.*)|*.*|vlr파일 (*.vlr)|*.vlr|";
inline constexpr const char* kAddInputsFilter =
    "vlr 파일 (*.vlr)|*.vlr|BMP 파일 (*.bmp)|*.bmp|모든 파일 (*.*)|*.*|";
inline constexpr const char* kOutputFilter = "암호화 파일 (*.vlr)|*.vlr|";
inline constexpr const char* kPictureFilter = "bmp 파일 (*.bmp)|*.bmp||";

// Secure deletion from the deletion area.
inline constexpr const char* kConfirmDeletion =
    "해당파일을 완전삭제 하시겠습니까? \n(주의: 삭제 후 복구가 되지 않아요.)";
inline constexpr const char* kDeletionTooLarge =
    "한번에 삭제 할 수 있는 용량인 1.5G를 초과하였습니다.";
inline constexpr const char* kDeletedMessage = "해당 파일이 삭제 되었습니다.";

// The sharing page.
inline constexpr const char* kAlreadyAdded = "이미 추가 된 인증서 입니다.\n";
inline constexpr const char* kChooseExport = "내보낼 공유키를 선택해 주세요.";
inline constexpr const char* kKeyFilter = "공유키 파일 (*.lck)|*.lck|";
inline constexpr const char* kSourceOpenError = "선택된 공유키 열기 오류";
inline constexpr const char* kSourceReadError = "공유키 읽기 오류";
inline constexpr const char* kDestinationOpenError = "저장될 공유키 열기 오류";
inline constexpr const char* kDestinationWriteError = "공유키 쓰기 오류";
inline constexpr const char* kKeysCopied = "선택된 공유키가 복사되었습니다.";

// Creating a shared key: the dialog and the command line.
inline constexpr const char* kNameMissing = "공개키 파일 이름을 지정해 주세요.";
inline constexpr const char* kForbiddenName =
    "파일 이름에 다음 문자를 사용할 수 없습니다.\r\n        \\ / : * ? \" < > | ";
inline constexpr const char* kNameAvailable = "사용 가능합니다.";
inline constexpr const char* kNameTakenOverwrite = "동일한 파일명이 있습니다. 덮어 쓰시겠습니까?";
inline constexpr const char* kKeyNameMissing = "인증서 파일을 지정해 주세요.";
inline constexpr const char* kCheckNameFirst = "중복검사를 해 주세요.";
inline constexpr const char* kKeyPasswordTooShort = "비밀번호 길이가 짧습니다.(6자리 이상)";
inline constexpr const char* kKeyCreated = "공유키가 생성되었습니다.";

// The update check.
inline constexpr const char* kConfigMissingText =
    "ERROR : 설정 파일을 읽을수 없습니다. \n해당 파일이 올바른 경로에 있는지 확인하시기 "
    "바랍니다.";
inline constexpr const char* kConnectFailedText = "ERROR: ConnectServer";

}  // namespace package::msg
