// The texts this subsystem shows the user, exactly as the program words them.
#pragma once

namespace package::msg {

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
inline constexpr const char* kWarningCaption = "경고";
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
inline constexpr const char* kPictureIsInput = "숨길 파일을 그림파일로 함께 쓸 수 없습니다.";
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

}  // namespace package::msg

namespace package::msg {
inline constexpr const char* kSharingRefusesPictures =
    "현재 '파일공유'암호화를 사용하계십니다. \n'파일공유'암호화는 'BMP 파일에 숨김' 기능을 "
    "지원하지 "
    "않습니다.";
inline constexpr const char* kChooseRecipients = "공유키 파일을 선택해 주세요";
inline constexpr const char* kSaveFilterVlr = "vlr 파일 (*.vlr)|*.vlr|";
inline constexpr const char* kSaveFilterAll = "모든 파일 (*.*)|*.*|";
inline constexpr const char* kMessageWord = "Message";
}  // namespace package::msg
