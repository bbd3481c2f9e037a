// The subcommands of velmoran-cli, one row each: its name, usage, help in
// English and Persian, and the function that runs it. A new subcommand is a
// row here and its function in commands.h.

#include "cli/cli.h"
#include "cli/commands.h"

namespace velmoran::cli {

namespace {

const Subcommand kSubcommands[] = {
    {"import",
     "import [--replace] [--folder DIR] [--timeout S] NEWIL.mdb [PC.mdb]\n"
     "       velmoran-cli import [--replace] [--folder DIR] [--timeout S] --pc PC.mdb",
     "Brings an agency's Access files (newil.mdb, pc.mdb) into the data folder.",
     "فايلهاي اكسس دفتر (newil.mdb و pc.mdb) را به پوشه اطلاعات برنامه مي آورد.",
     "Every row of table new of NEWIL.mdb goes into newil.db, the password of table pc of\n"
     "PC.mdb into pc.db; the Access files are only read. The report names the rows read\n"
     "and stored and the columns missing and extra. An existing store is refused (exit 3)\n"
     "unless --replace, which keeps it as newil.db.before-import-<time> and is refused\n"
     "while the program runs on the folder (exit 4). The Access files are read in a\n"
     "process of its own: a file the reading library can't read (it crashes, prints without\n"
     "end, or makes no progress for S seconds, 30 unless given) ends the import with a\n"
     "message naming it and exit 1, never by a signal; nothing is left in the folder.\n"
     "On a server desk it still fills the data folder's files; copy --to-server moves\n"
     "them up.",
     "همه رديفهاي جدول new فايل NEWIL.mdb به newil.db و رمز جدول pc فايل PC.mdb به pc.db\n"
     "منتقل مي شود؛ از فايلهاي اكسس فقط خوانده مي شود. گزارش، رديفهاي خوانده و ذخيره شده و\n"
     "ستونهاي نبوده و اضافي را مي گويد. فايل اطلاعاتي كه از قبل هست جايگزين نمي شود (كد 3)\n"
     "مگر با --replace، كه فايل قبلي را با نام newil.db.before-import-<زمان> نگه مي دارد و\n"
     "تا برنامه روي پوشه كار مي كند پذيرفته نمي شود (كد 4). فايلهاي اكسس در فرايندي جداگانه\n"
     "خوانده مي شوند: فايلي كه كتابخانه اكسس از خواندنش برنمي آيد (از كار مي افتد، بي پايان\n"
     "پيام مي نويسد، يا S ثانيه (30) بي پيشرفت مي ماند) با پيامي كه نام آن را مي گويد و كد 1\n"
     "كنار گذاشته مي شود و چيزي در پوشه نمي ماند. روي ميزي كه با سرور كار مي كند هم فايلهاي\n"
     "پوشه اطلاعات را پر مي كند؛ copy --to-server آنها را به سرور مي برد.",
     importCommand},
    {"export", "export [--replace] [--folder DIR] FILE.xlsx|FILE.csv",
     "Writes every listing into a spreadsheet file (.xlsx) or a CSV file.",
     "همه فايلهاي ملك را در يك فايل اكسل (.xlsx) يا CSV مي نويسد.",
     "Listings in the order they were stored, one column per field headed by its Persian\n"
     "caption (the floor rows' columns with their row number), flags as a tick or empty.\n"
     "The .xlsx sheet reads right to left, each column as wide as its text needs (longer\n"
     "text wrapped); it prints landscape, one page wide, the headings on every page. The\n"
     ".csv file is UTF-8 with a byte-order mark; a value beginning with =, +, -, @, a tab\n"
     "or a CR is written after an apostrophe (') so that no spreadsheet takes it for a\n"
     "formula (a price typed as -1 or +98 21 too). An existing FILE is refused (exit 3)\n"
     "unless --replace. The file is readable by its owner alone (mode 600). Works while\n"
     "the program runs. On a server desk (velmoran.conf names a server) it writes the\n"
     "server's listings; no data folder is needed.",
     "فايلها به ترتيب ثبت، هر فيلد در يك ستون با عنوان فارسي آن (ستونهاي رديفهاي طبقات با\n"
     "شماره رديف)، و گزينه ها با علامت تيك يا خالي. برگه اكسل راست به چپ است، هر\n"
     "ستون به پهناي متن خود (متن بلندتر در چند سطر)، و افقي، به پهناي يك صفحه و با عنوانها در\n"
     "هر صفحه چاپ مي شود. فايل CSV با UTF-8 و نشانه ترتيب بايت نوشته مي شود؛ مقداري كه با =،\n"
     "+، -، @، تب يا CR شروع شود با يك ' در ابتدا نوشته مي شود تا هيچ برنامه صفحه گسترده اي آن\n"
     "را فرمول نخواند (قيمتي مانند -1 يا +98 21 هم). فايلي كه از قبل با نام FILE باشد جايگزين\n"
     "نمي شود (كد 3) مگر با --replace. فايل فقط براي صاحبش خواندني است (مجوز 600). در زماني كه\n"
     "برنامه باز است هم كار مي كند. روي ميزي كه با سرور كار مي كند (velmoran.conf سروري\n"
     "نام مي برد) فايلهاي سرور را مي نويسد و پوشه اطلاعات لازم نيست.",
     exportCommand},
    {"backup", "backup [--folder DIR] [DEST]",
     "Makes a checked backup of newil.db and pc.db now, into backups/ or DEST.",
     "همين حالا از newil.db و pc.db پشتيبان مي سازد و آن را بررسي مي كند (در backups يا DEST).",
     "The copies are made with SQLite's online backup API and checked with\n"
     "integrity_check; they are named newil-<yyyyMMdd-HHmmss>.db and pc-<...>.db. In\n"
     "backups/ of the data folder the last 10 backups and the newest of each of the last\n"
     "12 months are kept. Refused while the program runs on the folder (exit 4). On a\n"
     "server desk the server's tables are copied down, as one snapshot, into\n"
     "server-<yyyyMMdd-HHmmss>/ of backups/ or DEST while the desks go on working.",
     "پشتيبانها با روش پشتيبان گيري SQLite ساخته و با integrity_check بررسي مي شوند و نام\n"
     "newil-<yyyyMMdd-HHmmss>.db و pc-<...>.db مي گيرند. در پوشه backups، 10 پشتيبان آخر و\n"
     "تازه ترين پشتيبان هر يك از 12 ماه گذشته نگه داشته مي شود. تا برنامه روي پوشه كار\n"
     "مي كند پذيرفته نمي شود (كد 4). روي ميزي كه با سرور كار مي كند جدولهاي سرور، همه از يك\n"
     "لحظه، در پوشه server-<yyyyMMdd-HHmmss> در backups يا DEST نوشته مي شوند و ميزها به\n"
     "كار ادامه مي دهند.",
     backupCommand},
    {"restore", "restore [--folder DIR] BACKUP",
     "Puts a backup back in place of its store, after checking it.",
     "يك پشتيبان را پس از بررسي به جاي فايل اطلاعات آن برمي گرداند.",
     "BACKUP is checked with integrity_check (exit 5 when damaged); it replaces newil.db or\n"
     "pc.db, whichever it holds, and the file it replaces is kept beside it as\n"
     "newil.db.before-restore-<time>. Refused while the program runs on the folder (exit 4).\n"
     "It restores the data folder's files only; a server's backup goes back with\n"
     "copy --to-server --replace from its server-<time> folder.",
     "BACKUP با integrity_check بررسي مي شود (آسيب ديده: كد 5) و به جاي newil.db يا pc.db،\n"
     "هر كدام كه در آن است، مي نشيند؛ فايل قبلي با نام newil.db.before-restore-<زمان> كنار\n"
     "آن نگه داشته مي شود. تا برنامه روي پوشه كار مي كند پذيرفته نمي شود (كد 4). فقط\n"
     "فايلهاي پوشه اطلاعات را برمي گرداند؛ پشتيبان سرور با copy --to-server --replace از\n"
     "پوشه server-<زمان> آن برمي گردد.",
     restoreCommand},
    {"check", "check [--folder DIR] [FILE...]",
     "Checks the store files (or the FILEs) through and prints what is found.",
     "فايلهاي اطلاعات (يا FILEها) را كامل بررسي مي كند و نتيجه را مي نويسد.",
     "Runs SQLite's integrity_check on newil.db and pc.db, or on each FILE (a backup, say),\n"
     "and prints one line per file; exit 5 when one is damaged. Without FILEs it also says\n"
     "whether the listings (in newil.db, and on the server velmoran.conf names) have their\n"
     "price indexes, which optimise adds. Works while the program runs. On a server desk\n"
     "it also checks the server: the connection, both tables (and the applicants' where\n"
     "it has it) with their columns and the right to read and write them (exit 1 on a\n"
     "problem); the data folder's files where they exist.",
     "روي newil.db و pc.db، يا روي هر FILE (مثلا يك پشتيبان)، integrity_check اجرا مي كند و\n"
     "براي هر فايل يك سطر مي نويسد؛ اگر فايلي آسيب ديده باشد كد خروج 5 است. بدون FILE\n"
     "همچنين مي گويد كه فايلهاي ملك (در newil.db و روي سروري كه velmoran.conf نام مي برد)\n"
     "نمايه هاي قيمت را دارند يا نه؛ optimise آنها را مي افزايد. در زماني كه برنامه باز است\n"
     "هم كار مي كند. روي ميزي كه با سرور كار مي كند سرور را هم بررسي مي كند: اتصال، دو جدول (و\n"
     "جدول متقاضيان اگر باشد) با ستونهايشان و اجازه خواندن و نوشتن آنها (اشكال: كد 1)؛ و\n"
     "فايلهاي پوشه اطلاعات را اگر باشند.",
     checkCommand},
    {"optimise", "optimise [--folder DIR]",
     "Adds the price indexes a store made by an earlier version lacks, so finds are quick.",
     "نمايه هاي قيمت را كه فايل ساخته شده با نسخه قبلي ندارد مي افزايد تا جستجو سريع شود.",
     "A store the program makes carries indexes of the total price and the rent read as\n"
     "numbers, for each deal and kind the search panels find by; a find then reads only\n"
     "the listings in its price range. An older newil.db, or an older table on the server\n"
     "velmoran.conf names, has none and each find reads every listing; the program never\n"
     "adds them by itself. This command adds them: newil.db in one transaction, refused\n"
     "while the program runs on the folder (exit 4); on the server each index is built\n"
     "while the desks go on working (the role must own the table). The file grows by about\n"
     "a tenth. The owner find's index is added the same way where it lacks. A damaged file\n"
     "is refused (exit 5) and left as it is. Prints what the store has afterwards.",
     "فايلي كه برنامه مي سازد براي هر نوع معامله و ملكي كه پنلهاي جستجو با آن جستجو مي كنند\n"
     "نمايه قيمت كل و اجاره را، خوانده به صورت عدد، دارد؛ جستجو فقط فايلهاي بازه قيمت خود را\n"
     "مي خواند. newil.db قديمي تر، يا جدول قديمي تر روي سروري كه velmoran.conf نام مي برد،\n"
     "اين نمايه ها را ندارد و هر جستجو همه فايلها را مي خواند؛ برنامه هرگز خودش آنها را\n"
     "نمي افزايد. اين فرمان آنها را مي افزايد: newil.db در يك تراكنش، و تا برنامه روي پوشه\n"
     "كار مي كند پذيرفته نمي شود (كد 4)؛ روي سرور هر نمايه در حالي ساخته مي شود كه ميزها\n"
     "به كار ادامه مي دهند (نقش بايد مالك جدول باشد). فايل حدود يك دهم بزرگتر مي شود. در\n"
     "پايان مي نويسد كه فايل اطلاعات چه دارد. نمايه جستجوي مالك هم اگر نباشد همينطور افزوده\n"
     "مي شود. فايل آسيب ديده پذيرفته نمي شود (كد 5) و دست نخورده مي ماند.",
     optimiseCommand},
    {"import-sheet",
     "import-sheet [--folder DIR] [--dry-run] [--map FILE] [--keep-duplicates] "
     "FILE.xlsx|FILE.csv",
     "Adds the rows of a spreadsheet (.xlsx, first sheet) or a CSV file as new listings.",
     "رديفهاي يك فايل اكسل (.xlsx، برگه اول) يا CSV را به صورت فايلهاي تازه مي افزايد.",
     "Each column is matched to a field by its heading: a file the export wrote column for\n"
     "column (its captions or the field names); any other by the field's caption, its name,\n"
     "or a Persian or English alias (مالك/owner, تلفن/phone, قيمت كل/price...); --map FILE\n"
     "gives the rest, one 'heading,field' pair a line. A sheet without an owner column is\n"
     "refused whole; a column that matches nothing is named. Text is kept exactly; a number\n"
     "the sheet made of a phone or a price comes back as its digits, a date cell as the\n"
     "Persian date (with a warning); flags read -1/0, 1/0, true/false, بله/خير or a tick.\n"
     "Each refused row is named with its column and why; a row whose owner (compared as the\n"
     "owner find does), phone and address a stored listing has is skipped as a duplicate\n"
     "unless --keep-duplicates. The rows are stored in one transaction: a failure or a kill\n"
     "stores none. --dry-run checks everything and stores nothing. A CSV that is not UTF-8 is\n"
     "read as Windows-1256. On a server desk the rows go to the server. A store file is read\n"
     "through (integrity_check) before the rows go in: a damaged one is refused (exit 5).",
     "هر ستون با عنوانش به يك فيلد مي خورد: فايلي كه خروجي برنامه نوشته ستون به ستون (عنوانهاي\n"
     "فارسي يا نام فيلدها)؛ فايل ديگر با عنوان فيلد، نام آن، يا نام ديگري به فارسي يا انگليسي\n"
     "(مالك/owner، تلفن/phone، قيمت كل/price...)؛ --map FILE بقيه را مي دهد، در هر سطر\n"
     "'عنوان,فيلد'. برگه اي كه ستون مالك ندارد پذيرفته نمي شود؛ ستوني كه به فيلدي نخورد نام\n"
     "برده مي شود. متن همانطور كه هست مي ماند؛ عددي كه برگه از تلفن يا قيمت ساخته با رقمهايش و\n"
     "خانه تاريخ به تاريخ شمسي برمي گردد (با هشدار)؛ گزينه ها از -1/0، 1/0، true/false،\n"
     "بله/خير يا علامت تيك خوانده مي شوند. هر رديف پذيرفته نشده با ستون و دليلش گفته مي شود؛\n"
     "رديفي كه مالك (همانطور كه جستجوي مالك مقايسه مي كند)، تلفن و آدرسش در فايلي ثبت شده\n"
     "هست، تكراري است و افزوده نمي شود مگر با --keep-duplicates. رديفها در يك تراكنش ذخيره\n"
     "مي شوند: خطا يا قطع برنامه هيچ رديفي را ذخيره نمي كند. --dry-run همه را بررسي مي كند و\n"
     "چيزي ذخيره نمي كند. CSV كه UTF-8 نباشد با Windows-1256 خوانده مي شود. روي ميزي كه با\n"
     "سرور كار مي كند رديفها به سرور مي روند. فايل اطلاعات پيش از افزودن كامل بررسي مي شود\n"
     "(integrity_check): فايل آسيب ديده پذيرفته نمي شود (كد 5).",
     importSheetCommand},
    {"copy",
     "copy [--folder DIR] [--server CONNINFO] [--replace] --to-server\n"
     "       velmoran-cli copy [--server CONNINFO] [--replace] --from-server DIR",
     "Copies the listings and the password up to the server, or down into DIR.",
     "فايلها و رمز را به سرور، يا از سرور به پوشه DIR، كپي مي كند.", kCopyDetailsEn, kCopyDetailsFa,
     copyCommand},
    {"find",
     "find [--folder DIR] [--kind KIND] [--deal DEAL] [--from N --to N]\n"
     "       [--rent-from N --rent-to N] [--owner NAME] [--csv]",
     "Prints the id and owner of every listing a search matches.",
     "شماره و مالك همه فايلهايي را كه با جستجو جور هستند مي نويسد.",
     "The criterion is the search panels': the total price strictly between --from and --to\n"
     "(and the rent between --rent-from and --rent-to), each listing's price read as the\n"
     "panels read it, the deal and the kind set; --owner the whole name, the Arabic and\n"
     "Persian Yeh and Kaf alike. A bound is the number typed, decimals and all: digits in\n"
     "any script, a sign, a point, commas grouping threes (1,000); the panels, unlike the\n"
     "tool, round a typed bound down. A bound that is no number is refused, named (exit 2).\n"
     "KIND: apartment (آپارتمان), villa (ويلا), income (مستغلات), old (كلنگي),\n"
     "office (دفتر كار), shop (مغازه). DEAL: sale (فروش), mortgage (رهن), rent (اجاره).\n"
     "One line per listing in stored order, id TAB owner, or with --csv a CSV of id,malek.\n"
     "Exit 0 with matches, 1 with none (or a failure, said on stderr), 2 for a bad option,\n"
     "6 when the server did not answer within its deadline.\n"
     "Nothing is written. Works while the program runs, on either store.",
     "معيار همان معيار پنلهاي جستجوست: قيمت كل بين --from و --to (و اجاره بين --rent-from و\n"
     "--rent-to) با قيمت هر فايل خوانده به شيوه پنلها، و نوع معامله و نوع ملك؛ --owner نام كامل\n"
     "مالك، ي و ك عربي و فارسي يكسان. هر حد همان عدد نوشته شده است، با رقمهاي اعشار: رقمهاي\n"
     "فارسي، عربي يا لاتين، يك علامت، يك مميز، و ويرگول ميان هر سه رقم (1,000)؛ پنلها برخلاف\n"
     "اين فرمان حد را به پايين گرد مي كنند. حدي كه عدد نباشد با نامش پذيرفته نمي شود (كد 2).\n"
     "KIND: apartment (آپارتمان)، villa (ويلا)، income (مستغلات)،\n"
     "old (كلنگي)، office (دفتر كار)، shop (مغازه). DEAL: sale (فروش)، mortgage (رهن)،\n"
     "rent (اجاره). هر فايل در يك سطر به ترتيب ثبت: شماره، تب، مالك؛ يا با --csv به صورت CSV.\n"
     "كد 0 با فايلهاي پيدا شده، 1 بدون فايل (يا خطا)، 2 براي گزينه نادرست، 6 اگر سرور در\n"
     "مهلت خود پاسخ ندهد. چيزي نوشته نمي شود.",
     findCommand},
    {"applicants",
     "applicants [--folder DIR] [--csv]\n"
     "       velmoran-cli applicants [--folder DIR] add --name N --phone P --deal D [--kind K]...\n"
     "       [--district T]... [--from N --to N] [--rent-from N --rent-to N]\n"
     "       [--area-from N --area-to N] [--rooms-from N --rooms-to N] [--note T]",
     "Lists the applicants, or adds one and prints its id.",
     "متقاضيان را فهرست مي كند، يا متقاضي تازه اي ثبت مي كند و شماره آن را مي نويسد.",
     "An applicant is one request of one person, kept beside the listings in newil.db (or on\n"
     "the server velmoran.conf names). add stores it as active, registered and contacted\n"
     "today, and prints its id. --deal and --kind take the names find takes (any of several\n"
     "kinds fits; none: any kind); --district once per district wanted, compared as the\n"
     "owner find compares names, blanks around set aside (none: any district). Each range\n"
     "is optional, either end alone too: the total price or deposit (--from, --to), the\n"
     "rent, the area of the first floor row and the bedrooms. An applicant's range\n"
     "INCLUDES both ends: up to 200 takes 200; the panels' finds and find exclude theirs.\n"
     "An empty or reversed range, a bound that is no number or a district of blanks is\n"
     "refused, naming the option (exit 2). Without add: one line per applicant in stored\n"
     "order, id TAB name, or with --csv a CSV of id,name; exit 1 when there are none.",
     "متقاضي يك درخواست يك نفر است و كنار فايلها در newil.db (يا روي سروري كه velmoran.conf\n"
     "نام مي برد) نگه داشته مي شود. add آن را فعال، با تاريخ ثبت و تماس امروز، ذخيره مي كند\n"
     "و شماره اش را مي نويسد. --deal و --kind همان نامهاي find را مي گيرند (هر يك از چند نوع\n"
     "ملك جور است؛ بدون آن: هر نوعي)؛ --district براي هر منطقه يك بار، مقايسه شده مانند\n"
     "جستجوي مالك و بدون فاصله هاي دو طرف (بدون آن: هر منطقه اي). هر بازه اختياري است، يك سر\n"
     "آن هم به تنهايي: قيمت كل يا رهن (--from و --to)، اجاره، زيربناي رديف اول طبقات و تعداد\n"
     "خواب. بازه متقاضي هر دو سر خود را در بر مي گيرد: تا 200 يعني 200 هم؛ جستجوي پنلها و\n"
     "find سرهاي بازه را در بر نمي گيرند. بازه خالي يا وارونه، حدي كه عدد نباشد و منطقه اي كه\n"
     "فقط فاصله باشد با نام گزينه پذيرفته نمي شود (كد 2). بدون add: هر متقاضي در يك سطر به\n"
     "ترتيب ثبت، شماره، تب، نام؛ يا با --csv به صورت CSV؛ بدون متقاضي كد 1.",
     applicantsCommand},
    {"match", "match [--folder DIR] [--csv] --applicant ID | --listing ID",
     "Prints the listings that fit an applicant, or the active applicants a listing fits.",
     "فايلهاي جور با يك متقاضي، يا متقاضيان فعال جور با يك فايل را مي نويسد.",
     "--applicant ID: the listings of the applicant's deal and kinds, in its districts and\n"
     "within its ranges (both ends included), each listing's numbers read as find reads\n"
     "them; a field that reads as no number fits no range on it. Printed as find prints\n"
     "them. --listing ID: the active applicants the listing fits, id TAB name in id order.\n"
     "Exit 0 with matches, 1 with none (or a failure, said on stderr), 2 for a bad option,\n"
     "6 when the server did not answer within its deadline. Nothing is written.",
     "--applicant ID: فايلهاي نوع معامله و نوع ملك متقاضي، در منطقه هاي او و درون بازه هايش\n"
     "(هر دو سر بازه)، با عددهاي هر فايل خوانده به شيوه find؛ فيلدي كه عدد نباشد در هيچ بازه اي\n"
     "نيست. مانند find نوشته مي شوند. --listing ID: متقاضيان فعالي كه فايل با آنها جور است،\n"
     "شماره، تب، نام، به ترتيب شماره. كد 0 با نتيجه، 1 بدون نتيجه (يا خطا)، 2 براي گزينه\n"
     "نادرست، 6 اگر سرور در مهلت خود پاسخ ندهد. چيزي نوشته نمي شود.",
     matchCommand},
};

} // namespace

const SubcommandTable& subcommands() {
    static const SubcommandTable table{kSubcommands,
                                       sizeof(kSubcommands) / sizeof(kSubcommands[0])};
    return table;
}

} // namespace velmoran::cli
