// The import's watch on Windows: the reading child created suspended,
// placed in a job object that ends it with the tool and bounds its memory,
// then let run; its channels are pipes it inherits as C runtime descriptors;
// a console's Ctrl+C, Ctrl+Break or close comes to the watch.
//
// The child's descriptors 3, 4 and 5 cross through the C runtime's own
// inheritance of descriptors (STARTUPINFO's cbReserved2/lpReserved2, the
// block _spawn fills): the child's runtime opens them before main(), so the
// child uses them as on Linux (QFile::open on 3 and 4, write() on 5) and
// needs no code of its own to find them. Only the handles named in the block
// are inherited (PROC_THREAD_ATTRIBUTE_HANDLE_LIST), so no other handle of
// the tool keeps a pipe open behind the child.

#include "import/importtool.h"
#include "import/importwatch.h"
#include "import/readingchild.h"

#include <QByteArray>
#include <QDir>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <io.h>
#include <string>
#include <vector>

#define PSAPI_VERSION 2
#include <windows.h>

#include <psapi.h>

// Windows Error Reporting's switch for this process, from kernel32: the
// werapi.h of mingw-w64 does not compile by itself.
extern "C" __declspec(dllimport) HRESULT WINAPI WerSetFlags(DWORD flags);
constexpr DWORD kWerNoUi = 0x20; // WER_FAULT_REPORTING_NO_UI

namespace velmoran::import::watch {

void writeOut(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const int chunk = static_cast<int>(qMin<qsizetype>(left, 1 << 30));
        const int written = ::_write(fd, data, static_cast<unsigned>(chunk));
        if (written <= 0) {
            return;
        }
        data += written;
        left -= written;
    }
}

namespace {

QString systemError(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString message = length > 0 ? QString::fromWCharArray(text, int(length)).trimmed()
                                 : QStringLiteral("error %1").arg(error);
    ::LocalFree(text);
    return message;
}

struct Handle {
    HANDLE value = nullptr;
    Handle() = default;
    explicit Handle(HANDLE h) : value(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    void close() {
        if (value) {
            ::CloseHandle(value);
            value = nullptr;
        }
    }
    void reset(HANDLE h) {
        close();
        value = h == INVALID_HANDLE_VALUE ? nullptr : h;
    }
};

// The handle behind descriptor `fd` of this process, or null (the runtime
// says -1 or -2 for a descriptor with none).
HANDLE descriptorHandle(int fd) {
    const intptr_t handle = ::_get_osfhandle(fd);
    return handle == -1 || handle == -2 ? nullptr : reinterpret_cast<HANDLE>(handle);
}

// An inheritable copy of `handle`, for the child alone; null when there is
// none to give.
HANDLE inheritable(HANDLE handle) {
    HANDLE copy = nullptr;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
        !::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0, TRUE,
                           DUPLICATE_SAME_ACCESS)) {
        return nullptr;
    }
    return copy;
}

// The C runtime's flags of an inherited descriptor (its FOPEN, FPIPE and
// FDEV), as the runtime of the child reads them: binary mode, so the child
// writes the bytes it would write on Linux.
unsigned char descriptorFlags(HANDLE handle) {
    constexpr unsigned char kOpen = 0x01;
    constexpr unsigned char kPipe = 0x08;
    constexpr unsigned char kDevice = 0x40;
    switch (::GetFileType(handle)) {
    case FILE_TYPE_PIPE:
        return kOpen | kPipe;
    case FILE_TYPE_CHAR:
        return kOpen | kDevice;
    default:
        return kOpen;
    }
}

// The block of the C runtime's descriptor inheritance: the number of
// descriptors, a flag byte each, then a handle each, packed.
QByteArray descriptorBlock(const std::vector<HANDLE>& handles) {
    const int count = int(handles.size());
    QByteArray block(int(sizeof(int)) + count * int(1 + sizeof(HANDLE)), '\0');
    char* p = block.data();
    std::memcpy(p, &count, sizeof count);
    p += sizeof count;
    for (HANDLE handle : handles) {
        *p++ = static_cast<char>(handle ? descriptorFlags(handle) : 0);
    }
    for (HANDLE handle : handles) {
        const HANDLE value = handle ? handle : INVALID_HANDLE_VALUE;
        std::memcpy(p, &value, sizeof value);
        p += sizeof value;
    }
    return block;
}

// One argument of a command line, quoted so that the child's runtime (and
// CommandLineToArgvW, which Qt reads it with) gives it back as it is:
// backslashes before a quote or the closing quote doubled, a quote escaped.
QString quotedArgument(const QString& argument) {
    if (!argument.isEmpty() && !argument.contains(QLatin1Char(' ')) &&
        !argument.contains(QLatin1Char('\t')) && !argument.contains(QLatin1Char('\n')) &&
        !argument.contains(QLatin1Char('\v')) && !argument.contains(QLatin1Char('"'))) {
        return argument;
    }
    QString quoted = QStringLiteral("\"");
    int backslashes = 0;
    for (const QChar c : argument) {
        if (c == QLatin1Char('\\')) {
            ++backslashes;
            continue;
        }
        if (c == QLatin1Char('"')) {
            quoted += QString(backslashes * 2 + 1, QLatin1Char('\\'));
        } else {
            quoted += QString(backslashes, QLatin1Char('\\'));
        }
        backslashes = 0;
        quoted += c;
    }
    quoted += QString(backslashes * 2, QLatin1Char('\\'));
    quoted += QLatin1Char('"');
    return quoted;
}

// The program's own name is read up to its closing quote, with no escapes
// (a Windows path holds no quote).
QString commandLine(const QString& program, const QStringList& arguments) {
    QString line = QLatin1Char('"') + program + QLatin1Char('"');
    for (const QString& argument : arguments) {
        line += QLatin1Char(' ') + quotedArgument(argument);
    }
    return line;
}

// A request to end the tool while it watches, and the watch's word that it
// has ended the child, removed its files and said why: a closed console
// ends the process as soon as its handler returns, so the handler waits for
// that word (Windows gives it 5 seconds).
std::atomic<bool> g_endRequested{false};
HANDLE g_watchEnded = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
constexpr DWORD kCloseWaitMilliseconds = 4500;

BOOL WINAPI requestEnd(DWORD event) {
    g_endRequested = true;
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && g_watchEnded) {
        ::WaitForSingleObject(g_watchEnded, kCloseWaitMilliseconds);
    }
    return TRUE;
}

// The status the watch ends the child with (STATUS_CONTROL_C_EXIT).
constexpr UINT kEndedStatus = 0xC000013A;

// The statuses of a crash: an exception no one handled ends a process with
// its NTSTATUS code, and the child's own handler ends it with one
// (crashcleanup_windows.cpp); the tool's statuses are small.
bool isCrashStatus(DWORD status) {
    return status >= 0xC0000000;
}

} // namespace

EndRequests::EndRequests() {
    g_endRequested = false;
    if (g_watchEnded) {
        ::ResetEvent(g_watchEnded);
    }
    ::SetConsoleCtrlHandler(requestEnd, TRUE);
}

EndRequests::~EndRequests() {
    ::SetConsoleCtrlHandler(requestEnd, FALSE);
    if (g_watchEnded) {
        ::SetEvent(g_watchEnded);
    }
}

bool EndRequests::requested() {
    return g_endRequested;
}

struct ReadingChild::State {
    Handle job;
    Handle process;
    Handle channels[2]; // the parent's read ends

    QString start(const QString& program, const QStringList& arguments, const char* variable);
};

namespace {

// Makes the job the child runs in: it ends with the last handle to it (the
// tool's, so a tool that ends in any way takes the child with it), it keeps
// the child within its memory, and an exception the child leaves unhandled
// ends it at once, with no dialog.
HANDLE makeJob() {
    HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    if (!job) {
        return nullptr;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE |
                                              JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION |
                                              JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    // The child is this same program: it starts with about the memory the
    // tool holds now, and may take readingMemoryBytes() more.
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    SIZE_T start = 0;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(),
                               reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof memory)) {
        start = memory.PrivateUsage;
    }
    limits.ProcessMemoryLimit = start + static_cast<SIZE_T>(readingMemoryBytes());
    if (!::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                   sizeof limits)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(job);
        ::SetLastError(error);
        return nullptr;
    }
    return job;
}

} // namespace

QString ReadingChild::State::start(const QString& program, const QStringList& arguments,
                                   const char* variable) {
    job.reset(makeJob());
    if (!job.value) {
        return systemError(::GetLastError());
    }
    // The parent's read ends stay its own; the child's write ends are
    // inheritable copies, closed here once the child has them.
    Handle writeEnds[2];
    for (int i = 0; i < 2; ++i) {
        HANDLE read = nullptr;
        HANDLE write = nullptr;
        if (!::CreatePipe(&read, &write, nullptr, 0)) {
            return systemError(::GetLastError());
        }
        channels[i].reset(read);
        writeEnds[i].reset(write);
    }
    Handle given[6];
    given[0].reset(inheritable(descriptorHandle(0)));
    given[1].reset(inheritable(writeEnds[Output].value));
    given[2].reset(inheritable(writeEnds[Output].value));
    given[kChildReportFd].reset(inheritable(descriptorHandle(1)));
    given[kChildMessageFd].reset(inheritable(descriptorHandle(2)));
    given[kChildStepsFd].reset(inheritable(writeEnds[Steps].value));
    writeEnds[Output].close();
    writeEnds[Steps].close();
    if (!given[1].value || !given[2].value || !given[kChildStepsFd].value) {
        return systemError(::GetLastError());
    }
    std::vector<HANDLE> descriptors;
    std::vector<HANDLE> inherited;
    for (const Handle& handle : given) {
        descriptors.push_back(handle.value);
        if (handle.value) {
            inherited.push_back(handle.value);
        }
    }
    QByteArray block = descriptorBlock(descriptors);

    SIZE_T attributeSize = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &attributeSize);
    std::vector<char> attributeRoom(attributeSize);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeRoom.data());
    if (!::InitializeProcThreadAttributeList(attributes, 1, 0, &attributeSize)) {
        return systemError(::GetLastError());
    }
    struct AttributeList {
        LPPROC_THREAD_ATTRIBUTE_LIST list;
        ~AttributeList() { ::DeleteProcThreadAttributeList(list); }
    } attributeList{attributes};
    if (!::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                     inherited.data(), inherited.size() * sizeof(HANDLE), nullptr,
                                     nullptr)) {
        return systemError(::GetLastError());
    }

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = given[0].value ? given[0].value : INVALID_HANDLE_VALUE;
    startup.StartupInfo.hStdOutput = given[1].value;
    startup.StartupInfo.hStdError = given[2].value;
    startup.StartupInfo.cbReserved2 = static_cast<WORD>(block.size());
    startup.StartupInfo.lpReserved2 = reinterpret_cast<LPBYTE>(block.data());
    startup.lpAttributeList = attributes;

    const std::wstring path = QDir::toNativeSeparators(program).toStdWString();
    std::wstring line = commandLine(QDir::toNativeSeparators(program), arguments).toStdWString();
    const std::wstring name = QString::fromLatin1(variable).toStdWString();
    ::SetEnvironmentVariableW(name.c_str(),
                              QString::number(::GetCurrentProcessId()).toStdWString().c_str());
    PROCESS_INFORMATION created{};
    // Suspended until it is in the job: it never runs outside it.
    const BOOL ok = ::CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, TRUE,
                                     CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                                     nullptr, &startup.StartupInfo, &created);
    const DWORD createError = ::GetLastError();
    ::SetEnvironmentVariableW(name.c_str(), nullptr);
    if (!ok) {
        return systemError(createError);
    }
    process.reset(created.hProcess);
    Handle thread(created.hThread);
    if (!::AssignProcessToJobObject(job.value, process.value)) {
        const DWORD error = ::GetLastError();
        ::TerminateProcess(process.value, kEndedStatus);
        ::WaitForSingleObject(process.value, INFINITE);
        process.close();
        return systemError(error);
    }
    ::ResumeThread(thread.value);
    return QString();
}

ReadingChild::ReadingChild() : state_(std::make_unique<State>()) {}

// Closing the job ends whatever is left of the child.
ReadingChild::~ReadingChild() = default;

QString ReadingChild::start(const QString& program, const QStringList& arguments,
                            const char* variable) {
    return state_->start(program, arguments, variable);
}

bool ReadingChild::isOpen(Channel channel) const {
    return state_->channels[channel].value != nullptr;
}

// Anonymous pipes can't be waited on: each is asked what it holds, every 10
// ms up to the wait's end.
int ReadingChild::wait(int milliseconds, bool ready[2]) {
    const ULONGLONG until = ::GetTickCount64() + ULONGLONG(milliseconds);
    for (;;) {
        int count = 0;
        for (int i = 0; i < 2; ++i) {
            const HANDLE channel = state_->channels[i].value;
            DWORD available = 0;
            ready[i] =
                channel && (!::PeekNamedPipe(channel, nullptr, 0, nullptr, &available, nullptr) ||
                            available > 0);
            count += ready[i] ? 1 : 0;
        }
        if (count > 0 || ::GetTickCount64() >= until || EndRequests::requested()) {
            return count;
        }
        ::Sleep(10);
    }
}

qint64 ReadingChild::read(Channel channel, char* buffer, qint64 size) {
    Handle& pipe = state_->channels[channel];
    DWORD available = 0;
    DWORD got = 0;
    if (!::PeekNamedPipe(pipe.value, nullptr, 0, nullptr, &available, nullptr) ||
        (available > 0 &&
         !::ReadFile(pipe.value, buffer, DWORD(qMin<qint64>(available, size)), &got, nullptr))) {
        pipe.close(); // its end: the child is ending
        return 0;
    }
    return got > 0 ? qint64(got) : -1;
}

std::optional<ChildEnd> ReadingChild::reap(int milliseconds) {
    const HANDLE process = state_->process.value;
    const DWORD waited = ::WaitForSingleObject(process, DWORD(milliseconds));
    if (waited == WAIT_TIMEOUT) {
        return std::nullopt;
    }
    ChildEnd end;
    DWORD status = 0;
    if (waited != WAIT_OBJECT_0 || !::GetExitCodeProcess(process, &status)) {
        return end; // not ours to wait for any more
    }
    if (isCrashStatus(status)) {
        end.kind = ChildEnd::Kind::Crashed;
    } else {
        end.status = int(status);
    }
    return end;
}

void ReadingChild::end(int milliseconds) {
    ::TerminateProcess(state_->process.value, kEndedStatus);
    ::WaitForSingleObject(state_->process.value, DWORD(milliseconds));
}

bool setUpReadingChild(const QByteArray& parent) {
    Q_UNUSED(parent); // the job ends the child with its parent
    if (::_get_osfhandle(kChildStepsFd) == -1) {
        return false;
    }
    // A crash of the reading library ends the child at once: no dialog, no
    // error report, no box for a missing disk.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    ::WerSetFlags(kWerNoUi);
    return true;
}

} // namespace velmoran::import::watch
