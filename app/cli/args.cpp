#include "app/cli/args.h"

#include <algorithm>

#include "package/choices.h"

namespace cli {

std::string usage_text() {
    return R"(사용법 / Usage:
  vellora-cli encrypt [-m package|each|bmp] [-a seed|aria|aes] (-p PASSFILE | -r KEY.lck ...)
                      [-t TEXT | --message-file FILE] [-o OUTPUT] [-b PICTURE.bmp ...]
                      [--delete-sources] [--log FILE] [--force] [FILE ...]
  vellora-cli decrypt (-p PASSFILE) -o OUTDIR [--delete-sources] [--log FILE] [--force] INPUT ...
  vellora-cli key create --name NAME -p PASSFILE [--key-dir DIR]
  vellora-cli wipe [--yes] PATH ...
  vellora-cli info INPUT ...

  파일과 메세지를 .vlr 꾸러미로 암호화하고, 복호화하고, 공유키를 만들고, 파일을 완전삭제합니다.
  -m  암호화 방식: package(꾸러미로 암호화), each(파일별로 암호화), bmp(BMP 파일에 숨김)
  -a  암호화 알고리즘: seed, aria, aes
  -p  비밀번호 파일의 첫 줄 ("-"는 표준 입력). 없으면 터미널에서 묻습니다.
  -r  공유키(.lck 파일 또는 키 폴더의 키 이름); 여러 번 쓸 수 있습니다.
  -t, --message-file  함께 암호화할 메세지
  -o  꾸러미 파일 / 메세지 파일 / 복호화할 폴더
  -b  꾸러미를 숨길 BMP 그림 (bmp 방식); 여러 번 쓸 수 있습니다.
  --delete-sources  끝난 뒤 원본 파일을 완전삭제합니다.
  --log FILE  처리한 항목을 로그 파일에 기록합니다.
  --force  이미 있는 출력 파일을 바꿉니다.
  --yes  완전삭제를 묻지 않습니다.

  Encrypts files and a message into .vlr packages, decrypts them, creates
  shared keys and wipes files for good.
  -m  arrangement: package (all in one), each (one per file), bmp (hidden in pictures)
  -a  algorithm that protects the session key: seed, aria, aes
  -p  the password is the first line of PASSFILE ("-" = standard input);
      without -p a terminal is asked (twice when encrypting)
  -r  a recipient's shared key: a .lck path or a key name in the key folder; repeatable
  -t, --message-file  a message to encrypt with the files
  -o  the package (package mode), the message item (each mode), or the output folder (decrypt)
  -b  a BMP picture to carry the package (bmp mode); repeatable
  --delete-sources  wipe the inputs once every output is written
  --log FILE  append one line per item to FILE
  --force  replace an existing output instead of failing
  --yes  wipe without asking
  info shows the kind, the key slots and the entries of a package without a password.
  Exit status: 0 success, 1 failure, 2 usage error.
)";
}

Parsed parse_args(const std::vector<std::string>& args) {
    Parsed p;
    Options& o = p.options;
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") return p;
    std::size_t i = 1;
    const std::string& verb = args[0];
    if (verb == "encrypt") {
        o.verb = Verb::Encrypt;
    } else if (verb == "decrypt") {
        o.verb = Verb::Decrypt;
    } else if (verb == "key") {
        if (args.size() < 2 || args[1] != "create") {
            p.error = "key: expected 'create'";
            return p;
        }
        o.verb = Verb::KeyCreate;
        i = 2;
    } else if (verb == "wipe") {
        o.verb = Verb::Wipe;
    } else if (verb == "info") {
        o.verb = Verb::Info;
    } else {
        p.error = "unknown command: " + verb;
        return p;
    }

    auto value = [&](const std::string& flag) -> std::optional<std::string> {
        if (i + 1 >= args.size()) {
            p.error = flag + " needs a value";
            return std::nullopt;
        }
        return args[++i];
    };
    bool operands_only = false;
    for (; i < args.size() && p.error.empty(); ++i) {
        const std::string& a = args[i];
        const Verb v = o.verb;
        auto allowed = [&](std::initializer_list<Verb> verbs) {
            if (std::find(verbs.begin(), verbs.end(), v) == verbs.end())
                p.error = a + " is not an option of " + verb;
            return p.error.empty();
        };
        if (operands_only || a.empty() || a[0] != '-' || a == "-") {
            o.operands.push_back(a);
        } else if (a == "--") {
            operands_only = true;
        } else if (a == "--help" || a == "-h") {
            o.verb = Verb::Help;
            return p;
        } else if (a == "-m" && allowed({Verb::Encrypt})) {
            if (auto x = value(a)) o.mode = *x;
        } else if (a == "-a" && allowed({Verb::Encrypt})) {
            if (auto x = value(a)) o.algorithm = *x;
        } else if (a == "-p" && allowed({Verb::Encrypt, Verb::Decrypt, Verb::KeyCreate})) {
            o.password_file = value(a);
        } else if (a == "-r" && allowed({Verb::Encrypt})) {
            if (auto x = value(a)) o.recipients.push_back(*x);
        } else if (a == "-t" && allowed({Verb::Encrypt})) {
            o.text = value(a);
        } else if (a == "--message-file" && allowed({Verb::Encrypt})) {
            o.message_file = value(a);
        } else if (a == "-o" && allowed({Verb::Encrypt, Verb::Decrypt})) {
            o.output = value(a);
        } else if (a == "-b" && allowed({Verb::Encrypt})) {
            if (auto x = value(a)) o.pictures.push_back(*x);
        } else if (a == "--delete-sources" && allowed({Verb::Encrypt, Verb::Decrypt})) {
            o.delete_sources = true;
        } else if (a == "--log" && allowed({Verb::Encrypt, Verb::Decrypt})) {
            o.log_file = value(a);
        } else if (a == "--force" && allowed({Verb::Encrypt, Verb::Decrypt, Verb::KeyCreate})) {
            o.force = true;
        } else if (a == "--yes" && allowed({Verb::Wipe})) {
            o.yes = true;
        } else if (a == "--name" && allowed({Verb::KeyCreate})) {
            o.name = value(a);
        } else if (a == "--key-dir" && allowed({Verb::KeyCreate, Verb::Encrypt})) {
            o.key_dir = value(a);
        } else if (p.error.empty()) {
            p.error = "unknown option: " + a;
        }
    }
    if (!p.error.empty()) return p;

    switch (o.verb) {
        case Verb::Encrypt:
            if (!package::mode_from_option(o.mode))
                p.error = "-m: package, each or bmp";
            else if (!package::algorithm_from_option(o.algorithm))
                p.error = "-a: seed, aria or aes";
            else if (o.password_file && !o.recipients.empty())
                p.error = "-p and -r exclude each other";
            else if (o.text && o.message_file)
                p.error = "-t and --message-file exclude each other";
            else if (o.mode == "bmp" && o.pictures.empty())
                p.error = "bmp mode needs -b PICTURE";
            else if (o.mode != "bmp" && !o.pictures.empty())
                p.error = "-b needs -m bmp";
            else if (o.operands.empty() && !o.text && !o.message_file)
                p.error = "nothing to encrypt";
            break;
        case Verb::Decrypt:
            if (!o.output)
                p.error = "decrypt needs -o OUTDIR";
            else if (o.operands.empty())
                p.error = "decrypt needs an INPUT";
            break;
        case Verb::KeyCreate:
            if (!o.name)
                p.error = "key create needs --name NAME";
            else if (!o.password_file)
                p.error = "key create needs -p PASSFILE";
            else if (!o.operands.empty())
                p.error = "key create takes no operands";
            break;
        case Verb::Wipe:
        case Verb::Info:
            if (o.operands.empty()) p.error = verb + " needs a PATH";
            break;
        case Verb::Help:
            break;
    }
    return p;
}

}  // namespace cli
