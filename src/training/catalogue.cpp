#include "training/catalogue.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <array>
#include <numeric>

namespace training {
namespace {

// Muscle groups as bits, for a compact table.
enum : unsigned {
    PEC = 1u << int(Muscle::Pecho),
    ESP = 1u << int(Muscle::Espalda),
    HOM = 1u << int(Muscle::Hombros),
    BIC = 1u << int(Muscle::Biceps),
    TRI = 1u << int(Muscle::Triceps),
    ANT = 1u << int(Muscle::Antebrazos),
    TRA = 1u << int(Muscle::Trapecio),
    ABD = 1u << int(Muscle::Abdominales),
    OBL = 1u << int(Muscle::Oblicuos),
    LUM = 1u << int(Muscle::Lumbares),
    CUA = 1u << int(Muscle::Cuadriceps),
    ISQ = 1u << int(Muscle::Isquiotibiales),
    GLU = 1u << int(Muscle::Gluteos),
    ADU = 1u << int(Muscle::Aductores),
    ABU = 1u << int(Muscle::Abductores),
    GEM = 1u << int(Muscle::Gemelos),
};
constexpr BodyWeight No = BodyWeight::No, Always = BodyWeight::Always,
                     Unloaded = BodyWeight::Unloaded, Held = BodyWeight::Held;

struct Row {
    const char16_t *name;
    // Other names people write, '|' between them. A name given to two exercises ("pm", "press",
    // "extensiones") makes the reading of it doubtful.
    const char16_t *aliases;
    unsigned primary;
    unsigned secondary;
    BodyWeight bodyWeight;
};

// The catalogue. To add an exercise, add a row; names are compared by nameKey(), so "de", "con",
// plurals, case and accents need no separate aliases.
constexpr Row rows[] = {
    // Pecho
    {u"press de banca",
     u"press|banca|press plano|press banca plano|bench|bench press|press con barra", PEC, TRI | HOM,
     No},
    {u"press de banca inclinado",
     u"press inclinado|banca inclinada|inclinado|press inclinado con barra|incline bench", PEC,
     TRI | HOM, No},
    {u"press de banca declinado", u"press declinado|banca declinada|declinado", PEC, TRI, No},
    {u"press de banca con mancuernas",
     u"press con mancuernas|press plano con mancuernas|press pecho con mancuernas|dumbbell press",
     PEC, TRI | HOM, No},
    {u"press inclinado con mancuernas",
     u"inclinado con mancuernas|press de banca inclinado con mancuernas|press inclinado mancuerna",
     PEC, TRI | HOM, No},
    {u"aperturas con mancuernas", u"aperturas|aperturas planas|flyes|flys|fly|aperturas en banco",
     PEC, HOM, No},
    {u"aperturas inclinadas", u"aperturas en banco inclinado|aperturas inclinado", PEC, HOM, No},
    {u"cruce de poleas",
     u"cruces|cruce|cruces en polea|crossover|cable crossover|poleas pecho|cruce en polea", PEC,
     HOM, No},
    {u"contractor de pecho",
     u"peck deck|pec deck|contractor|mariposa|butterfly|aperturas en maquina|maquina de aperturas",
     PEC, HOM, No},
    {u"press de pecho en máquina",
     u"press pecho|press en maquina|chest press|press de pecho|press pecho en maquina", PEC,
     TRI | HOM, No},
    {u"press de banca en multipower",
     u"press banca multipower|press multipower|press smith|banca smith|multipower|smith", PEC,
     TRI | HOM, No},
    {u"flexiones", u"flexiones de brazos|flexion|push ups|pushup|lagartijas", PEC, TRI | HOM,
     Always},
    {u"fondos en paralelas", u"fondos|fondos de pecho|dips|paralelas|fondo", PEC | TRI, HOM,
     Always},
    {u"pullover", u"pull over|pullover con mancuerna", PEC | ESP, TRI, No},
    {u"fondos entre bancos", u"fondos en banco|bench dips|fondos de triceps", TRI, PEC | HOM,
     Always},
    // Espalda
    {u"dominadas", u"dominada|pull ups|dominadas pronas|dominadas abiertas|dominadas prono", ESP,
     BIC | ANT, Always},
    {u"dominadas supinas", u"chin ups|dominadas supino|dominadas agarre supino|chinup", ESP | BIC,
     ANT, Always},
    {u"dominadas con agarre neutro", u"dominadas neutras|dominadas agarre neutro|dominadas neutro",
     ESP, BIC, Always},
    {u"dominadas asistidas", u"dominadas en maquina|dominadas asistidas en maquina", ESP, BIC, No},
    {u"jalón al pecho",
     u"jalon|jalones|polea al pecho|polea alta|lat pulldown|pulldown|jalon frontal|jalon polea "
     u"alta|"
     u"jalon abierto",
     ESP, BIC, No},
    {u"jalón tras nuca", u"polea tras nuca|jalon nuca|tras nuca", ESP, BIC | HOM, No},
    {u"jalón con agarre estrecho",
     u"jalon cerrado|jalon estrecho|jalon triangulo|jalon agarre cerrado|jalon supino|"
     u"jalon agarre estrecho",
     ESP, BIC, No},
    {u"remo con barra", u"remo|remo barra|remo inclinado|remo con barra inclinado|barbell row", ESP,
     BIC | LUM, No},
    {u"remo pendlay", u"pendlay|pendlay row", ESP, BIC | LUM, No},
    {u"remo con mancuerna",
     u"remo a una mano|remo unilateral|remo con mancuernas|dumbbell row|serrucho|remo serrucho",
     ESP, BIC, No},
    {u"remo en polea baja",
     u"remo polea|remo en polea|remo sentado|remo gironda|polea baja|remo bajo|seated row|"
     u"remo sentado en polea",
     ESP, BIC, No},
    {u"remo en máquina", u"remo maquina|remo hammer|remo articulado|remo apoyado", ESP, BIC, No},
    {u"remo en punta", u"remo t|remo en t|t bar|remo barra t|remo landmine|remo punta", ESP, BIC,
     No},
    {u"remo invertido", u"australianas|dominadas australianas|inverted row|remo australiano", ESP,
     BIC, Always},
    {u"peso muerto", u"pm|peso muerto convencional|deadlift|muerto|dl", LUM | GLU | ISQ,
     ESP | CUA | TRA | ANT, No},
    {u"peso muerto rumano", u"rumano|pm rumano|rdl|romanian deadlift", ISQ | GLU, LUM, No},
    {u"peso muerto con piernas rígidas",
     u"piernas rigidas|pm piernas rigidas|peso muerto rigido|stiff|stiff leg|"
     u"peso muerto piernas rectas",
     ISQ, GLU | LUM, No},
    {u"peso muerto sumo", u"sumo|pm sumo|sumo deadlift", GLU | ADU | CUA, ISQ | LUM, No},
    {u"peso muerto con barra hexagonal",
     u"trap bar|barra hexagonal|hex bar|peso muerto hexagonal|peso muerto trap bar", CUA | GLU,
     ISQ | LUM | TRA, No},
    {u"rack pull", u"peso muerto parcial|peso muerto desde rack|rack pulls", LUM | ESP,
     GLU | TRA | ANT, No},
    {u"hiperextensiones",
     u"hiperextension|extensiones lumbares|lumbares|back extension|banco romano|"
     u"hiperextensiones lumbares",
     LUM, GLU | ISQ, Unloaded},
    {u"buenos días", u"good morning|buenos dias con barra", ISQ | LUM, GLU, No},
    {u"pullover en polea",
     u"pullover polea|straight arm pulldown|jalon brazos rectos|jalon brazo recto", ESP, TRI, No},
    {u"face pull", u"facepull|tiron a la cara", HOM, TRA | ESP, No},
    {u"encogimientos de hombros",
     u"encogimientos|shrugs|encogimientos con barra|encogimientos con mancuernas|encogimiento", TRA,
     ANT, No},
    {u"remo al mentón", u"remo menton|remo alto|upright row|remo vertical|remo al cuello",
     HOM | TRA, BIC, No},
    // Hombros
    {u"press militar",
     u"press|militar|press militar con barra|press militar de pie|ohp|overhead press|pm|"
     u"press de hombro con barra|press militar sentado|militar sentado",
     HOM, TRI | TRA, No},
    {u"press militar con mancuernas",
     u"press de hombros|press hombro|press de hombro con mancuernas|press sentado con mancuernas|"
     u"shoulder press|press militar mancuernas",
     HOM, TRI, No},
    {u"press arnold", u"arnold|arnold press", HOM, TRI, No},
    {u"press tras nuca", u"press trasnuca|press nuca|tras nuca", HOM, TRI | TRA, No},
    {u"press de hombro en máquina",
     u"press hombro maquina|press militar maquina|press militar en maquina|press de hombros en "
     u"maquina",
     HOM, TRI, No},
    {u"press de empuje", u"push press", HOM, TRI | CUA, No},
    {u"press landmine", u"landmine press|press mina", HOM, PEC | TRI, No},
    {u"elevaciones laterales",
     u"laterales|elevacion lateral|elevaciones laterales con mancuernas|elev laterales|"
     u"lateral raises|vuelos laterales|elevaciones",
     HOM, TRA, No},
    {u"elevaciones laterales en polea", u"laterales en polea|elevacion lateral en polea", HOM, TRA,
     No},
    {u"elevaciones frontales",
     u"frontales|elevacion frontal|elevaciones frontales con disco|front raises|frontal con disco|"
     u"elevaciones",
     HOM, PEC, No},
    {u"pájaros",
     u"pajaro|elevaciones posteriores|vuelos posteriores|aperturas invertidas|reverse fly|"
     u"deltoides posterior|posteriores",
     HOM, TRA | ESP, No},
    {u"contractor inverso",
     u"peck deck inverso|pec deck inverso|contractor invertido|reverse pec deck|mariposa inversa|"
     u"aperturas invertidas en maquina",
     HOM, TRA | ESP, No},
    // Bíceps
    {u"curl de bíceps", u"curl|curls|curl biceps|biceps curl", BIC, ANT, No},
    {u"curl con barra",
     u"curl barra|curl de biceps con barra|curl con barra recta|barbell curl|curl barra recta", BIC,
     ANT, No},
    {u"curl con barra z", u"curl barra z|curl z|curl con barra ez|curl ez|curl barra ez", BIC, ANT,
     No},
    {u"curl con mancuernas",
     u"curl mancuerna|curl alterno|curl alternado|curl alterno con mancuernas|dumbbell curl", BIC,
     ANT, No},
    {u"curl martillo",
     u"martillo|curl de martillo|hammer curl|martillos|curl martillo con mancuernas", BIC | ANT, 0,
     No},
    {u"curl concentrado", u"curl concentracion|concentrado|curl concentrado con mancuerna", BIC, 0,
     No},
    {u"curl predicador",
     u"curl scott|banco scott|curl en banco scott|scott|predicador|preacher curl", BIC, ANT, No},
    {u"curl en polea", u"curl polea|curl de biceps en polea|curl polea baja|curl cable", BIC, ANT,
     No},
    {u"curl inclinado", u"curl en banco inclinado|curl inclinado con mancuernas", BIC, ANT, No},
    {u"curl araña", u"curl spider|spider curl|curl arana", BIC, 0, No},
    {u"curl invertido", u"curl inverso|curl agarre prono|reverse curl", ANT, BIC, No},
    // Tríceps
    {u"press francés",
     u"frances|press frances con barra|skull crusher|skullcrusher|rompecraneos|press frances barra "
     u"z",
     TRI, 0, No},
    {u"extensión de tríceps en polea",
     u"triceps en polea|triceps polea|jalon de triceps|pushdown|push down|triceps pushdown|"
     u"extensiones en polea|extensiones de triceps en polea|polea triceps|extension en polea",
     TRI, 0, No},
    {u"extensión de tríceps con cuerda",
     u"triceps con cuerda|triceps cuerda|extension con cuerda|extensiones con cuerda|rope pushdown|"
     u"polea con cuerda|extensiones de triceps con cuerda",
     TRI, 0, No},
    {u"extensión de tríceps sobre la cabeza",
     u"extension por encima de la cabeza|extension de triceps por encima de la cabeza|"
     u"triceps tras nuca|extension tras nuca|overhead extension|extension de triceps con mancuerna|"
     u"copa|extension en copa|triceps copa|extensiones sobre la cabeza",
     TRI, 0, No},
    {u"patada de tríceps", u"patada|patada triceps|kickback|patada de triceps con mancuerna", TRI,
     0, No},
    {u"press de banca con agarre cerrado",
     u"press cerrado|press banca cerrado|press agarre cerrado|close grip|press banca agarre "
     u"estrecho|"
     u"press estrecho|press de banca cerrado",
     TRI, PEC | HOM, No},
    {u"extensiones de tríceps", u"extension triceps|extensiones|extension", TRI, 0, No},
    {u"flexiones diamante", u"flexiones cerradas|diamante|diamond push ups|flexiones de diamante",
     TRI, PEC, Always},
    {u"flexiones en pino", u"flexiones de pino|hspu|handstand push up|flexiones verticales", HOM,
     TRI, Always},
    // Antebrazos
    {u"curl de muñeca",
     u"curl muneca|curl de antebrazo|curl antebrazo|flexion de muneca|antebrazo|antebrazos", ANT, 0,
     No},
    {u"curl de muñeca invertido",
     u"curl de muneca inverso|extension de muneca|extensiones de muneca", ANT, 0, No},
    {u"paseo del granjero",
     u"paseo granjero|farmer walk|farmers walk|granjero|caminata del granjero|farmer", ANT | TRA,
     ABD, No},
    {u"rodillo de muñeca", u"rodillo|wrist roller", ANT, 0, No},
    // Cuádriceps
    {u"sentadilla",
     u"squat|sentadilla con barra|sentadilla trasera|back squat|sentadilla libre|"
     u"sentadilla barra alta|sentadilla barra baja",
     CUA | GLU, ADU | ISQ | LUM, No},
    {u"sentadilla frontal", u"front squat|sentadilla delantera|frontal squat", CUA, GLU | ABD, No},
    {u"sentadilla goblet",
     u"goblet|goblet squat|sentadilla copa|sentadilla con mancuerna|sentadilla con kettlebell", CUA,
     GLU, Unloaded},
    {u"sentadilla búlgara",
     u"bulgara|bulgaras|split squat bulgaro|bulgarian split squat|zancada bulgara|zancadas "
     u"bulgaras",
     CUA | GLU, ISQ, Unloaded},
    {u"sentadilla hack", u"hack|hack squat|sentadilla jaca|jaca|sentadilla en hack|maquina hack",
     CUA, GLU, No},
    {u"sentadilla en multipower",
     u"sentadilla multipower|sentadilla smith|smith squat|multipower|smith|multipower sentadilla",
     CUA | GLU, ISQ, No},
    {u"sentadilla sumo", u"sumo|sumo squat", ADU | GLU, CUA, Unloaded},
    {u"sentadilla pistol", u"pistol|pistol squat|sentadilla a una pierna", CUA | GLU, 0, Always},
    {u"sissy squat", u"sissy|sentadilla sissy", CUA, 0, Always},
    {u"sentadilla con salto", u"jump squat|sentadilla saltando|sentadillas saltando", CUA | GLU,
     GEM, Unloaded},
    {u"prensa", u"prensa de piernas|prensa inclinada|leg press|prensa horizontal|prensa de pierna",
     CUA | GLU, ISQ | ADU, No},
    {u"extensión de cuádriceps",
     u"extension de cuadriceps|extensiones de pierna|extension de piernas|cuadriceps en maquina|"
     u"leg extension|sillon de cuadriceps|maquina de extensiones|extensiones|extension|"
     u"extensiones de cuadriceps|sillon cuadriceps",
     CUA, 0, No},
    {u"zancadas",
     u"zancada|lunges|lunge|estocadas|estocada|zancadas con mancuernas|desplantes|zancadas atras",
     CUA | GLU, ISQ, Unloaded},
    {u"zancadas caminando",
     u"zancadas andando|walking lunges|zancadas en movimiento|zancadas paseando", CUA | GLU, ISQ,
     Unloaded},
    {u"zancada lateral", u"zancadas laterales|lateral lunge|sentadilla cosaca|cossack squat",
     ADU | CUA, GLU, Unloaded},
    {u"subidas al cajón", u"subida al cajon|step up|step ups|subidas al banco|subida al banco",
     CUA | GLU, ISQ, Unloaded},
    {u"saltos al cajón", u"salto al cajon|box jump|box jumps|saltos cajon", CUA | GLU, GEM, Always},
    // Isquiotibiales
    {u"curl femoral tumbado",
     u"curl femoral|femoral|femorales|curl de pierna|curl femoral acostado|leg curl|curl isquios|"
     u"femoral tumbado|curl de isquios|femoral acostado",
     ISQ, GEM, No},
    {u"curl femoral sentado", u"femoral sentado|seated leg curl|femorales sentado", ISQ, 0, No},
    {u"curl nórdico", u"nordico|nordicos|nordic curl|nordic|curl nordicos", ISQ, 0, Always},
    {u"peso muerto a una pierna", u"peso muerto unilateral|pm unilateral|single leg deadlift",
     ISQ | GLU, LUM, Unloaded},
    // Glúteos
    {u"hip thrust",
     u"hip thrusts|empuje de cadera|hipthrust|hip trust|elevacion de cadera con barra", GLU, ISQ,
     No},
    {u"puente de glúteo",
     u"puente gluteo|puente|glute bridge|elevaciones de cadera|elevacion de cadera|puente de "
     u"gluteos",
     GLU, ISQ, Unloaded},
    {u"patada de glúteo",
     u"patada|patada gluteo|patada en polea|patada de burro|kickback de gluteo|gluteo en polea|"
     u"patada trasera",
     GLU, ISQ, No},
    {u"abducción de cadera",
     u"abductores|abductores en maquina|abduccion|maquina de "
     u"abductores|abductor|abducciones|abduccion en maquina",
     ABU, GLU, No},
    {u"aducción de cadera",
     u"aductores|aductores en maquina|aduccion|maquina de aductores|aductor|aducciones|aduccion en "
     u"maquina",
     ADU, 0, No},
    {u"pull through", u"pull through en polea|pullthrough", GLU, ISQ, No},
    // Gemelos
    {u"elevación de talones de pie",
     u"gemelos|gemelo|gemelos de pie|elevacion de talones|elevaciones de talones|calf raise|"
     u"gemelos en maquina|pantorrillas|talones|elevacion de gemelos|gemelos de pie en maquina",
     GEM, 0, Unloaded},
    {u"elevación de talones sentado",
     u"gemelos sentado|elevaciones de talones sentado|seated calf|soleo|gemelo sentado", GEM, 0,
     No},
    {u"gemelos en prensa", u"gemelos prensa|calf press|elevacion de talones en prensa", GEM, 0, No},
    // Abdominales
    {u"crunch",
     u"crunches|abdominales|abdominal|encogimientos abdominales|crunch abdominal|abs|abdos", ABD, 0,
     Always},
    {u"plancha", u"plank|plancha abdominal|plancha frontal|isometrico abdominal", ABD, HOM | LUM,
     Held},
    {u"plancha lateral", u"side plank|plancha de lado|planchas laterales", OBL, ABD, Held},
    {u"plancha copenhague", u"copenhague|copenhagen|copenhagen plank", ADU, OBL, Held},
    {u"elevaciones de piernas",
     u"elevacion de piernas|elevaciones de piernas colgado|leg raises|hanging leg raise|"
     u"elevaciones de rodillas|elevacion de rodillas|abdominales colgado|elevaciones de piernas en "
     u"barra|"
     u"elevaciones",
     ABD, OBL, Always},
    {u"rueda abdominal", u"rueda|ab wheel|rueda de abdominales|rodillo abdominal|ab roller|rodillo",
     ABD, HOM | LUM, Always},
    {u"crunch en polea",
     u"crunch polea|abdominales en polea|cable crunch|abdominales polea|crunch con polea", ABD, 0,
     No},
    {u"crunch en máquina", u"abdominales en maquina|maquina de abdominales|crunch maquina", ABD, 0,
     No},
    {u"crunch inverso", u"crunch invertido|abdominales inversos|reverse crunch", ABD, 0, Always},
    {u"giros rusos", u"giro ruso|russian twist|rotaciones rusas|giros rusos con disco", OBL, ABD,
     Unloaded},
    {u"mountain climbers", u"escaladores|mountain climber|escalador", ABD, HOM | CUA, Always},
    {u"dead bug", u"bicho muerto|dead bugs", ABD, 0, Always},
    {u"pallof press", u"pallof|press pallof", OBL, ABD, No},
    {u"leñador", u"lenadores|woodchop|wood chop|lenador en polea", OBL, ABD | HOM, No},
    {u"crunch oblicuo",
     u"oblicuos|oblicuo|crunch lateral|abdominales oblicuos|abdominales laterales|crunch oblicuos",
     OBL, ABD, Always},
    {u"navajas", u"navaja|v ups|abdominales en v|v up", ABD, 0, Always},
    // De cuerpo entero
    {u"cargada", u"cargada de potencia|power clean|clean|cargada colgante|hang clean",
     CUA | GLU | TRA, ISQ | HOM | LUM, No},
    {u"arrancada", u"snatch|arrancada de potencia|power snatch", HOM | CUA | GLU, TRA | ISQ | LUM,
     No},
    {u"dos tiempos", u"envion|clean and jerk|clean jerk", CUA | HOM | GLU, TRI | TRA, No},
    {u"swing con kettlebell",
     u"kettlebell swing|swing|swing ruso|swing con pesa rusa|kb swing|swings con kettlebell",
     GLU | ISQ, LUM | HOM, No},
    {u"thruster", u"trusters|thrusters con barra", CUA | HOM, GLU | TRI, No},
    {u"burpees", u"burpee|burpis", CUA | PEC, HOM | ABD, Always},
    {u"muscle up", u"muscle ups|muscleup", ESP | TRI, PEC | BIC, Always},
    {u"turkish get up", u"levantamiento turco|get up|turkish getup|tgu", HOM | ABD, GLU, No},
};

constexpr std::array<const char16_t *, int(Muscle::Count)> muscleNames = {
    u"pecho",    u"espalda",     u"hombros",    u"bíceps",   u"tríceps",    u"antebrazos",
    u"trapecio", u"abdominales", u"oblicuos",   u"lumbares", u"cuádriceps", u"isquiotibiales",
    u"glúteos",  u"aductores",   u"abductores", u"gemelos"};

QStringList musclesOf(unsigned bits) {
    QStringList names;
    for (int m = 0; m < int(Muscle::Count); ++m)
        if (bits & (1u << m))
            names += QString::fromUtf16(muscleNames[std::size_t(m)]);
    return names;
}

// Words that change nothing in a name.
bool isFiller(QStringView word) {
    static constexpr QStringView fillers[] = {u"de",  u"del",  u"la",  u"las", u"el", u"los",
                                              u"lo",  u"con",  u"en",  u"a",   u"al", u"un",
                                              u"una", u"para", u"por", u"and"};
    return word.size() <= 4 &&
           std::find(std::begin(fillers), std::end(fillers), word) != std::end(fillers);
}

// The length of the singular of a word, near enough to compare: "laterales" "lateral", "fondos"
// "fondo".
qsizetype singularLength(QStringView word) {
    const qsizetype n = word.size();
    if (n > 4 && word.endsWith(u"es") && QStringView(u"lnrdj").contains(word[n - 3]))
        return n - 2;
    if (n > 4 && word.endsWith(u's') && !word.endsWith(u"ss"))
        return n - 1;
    return n;
}

// Lowercase without its accent, for a character of Latin-1.
QChar foldedLatin1(char16_t u) {
    static constexpr char16_t accented[] =
        u"aaaaaa\u00e6ceeeeiiii\u00f0nooooo\u00f7\u00f8uuuuy\u00fey";
    if (u < 0x80)
        return QChar(u >= 'A' && u <= 'Z' ? char16_t(u + 32) : u);
    if (u >= 0xC0 && u != 0xD7 && u != 0xDF)
        return QChar(accented[u & 0x1F]);
    return QChar(u).toLower();
}

struct Index {
    std::vector<CatalogueEntry> entries;
    QHash<QString, QList<qsizetype>> byKey;
    QHash<QString, qsizetype> byName;
    // Every key with its entries, by the key's length, for the near look-up.
    std::vector<std::vector<std::pair<QString, qsizetype>>> keysByLength;

    Index() {
        for (const Row &row : rows) {
            const qsizetype index = qsizetype(entries.size());
            const QString name = QString::fromUtf16(row.name);
            entries.push_back(
                {name, musclesOf(row.primary), musclesOf(row.secondary), row.bodyWeight});
            byName.insert(name, index);
            QStringList names = QString::fromUtf16(row.aliases).split(u'|');
            names.prepend(name);
            for (const QString &alias : std::as_const(names)) {
                QList<qsizetype> &list = byKey[nameKey(alias)];
                if (!list.contains(index))
                    list += index;
            }
        }
        for (auto it = byKey.cbegin(); it != byKey.cend(); ++it) {
            const auto length = std::size_t(it.key().size());
            if (keysByLength.size() <= length)
                keysByLength.resize(length + 1);
            for (const qsizetype entry : it.value())
                keysByLength[length].emplace_back(it.key(), entry);
        }
    }
};

const Index &index() {
    static const Index built;
    return built;
}

// The number of typing slips between two texts of at most 40 letters (insertions, deletions,
// changes and swaps of neighbours), or more than limit when it is above the limit.
int slips(QStringView a, QStringView b, int limit) {
    const qsizetype n = a.size(), m = b.size();
    if (std::abs(int(n - m)) > limit || n > 40 || m > 40)
        return limit + 1;
    std::array<std::array<int, 41>, 3> dp{}; // rows i-2, i-1 and i, in turn
    for (qsizetype j = 0; j <= m; ++j)
        dp[0][std::size_t(j)] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        auto &current = dp[std::size_t(i % 3)];
        const auto &previous = dp[std::size_t((i - 1) % 3)];
        const auto &before = dp[std::size_t((i + 1) % 3)];
        current[0] = int(i);
        int best = current[0];
        for (qsizetype j = 1; j <= m; ++j) {
            const auto J = std::size_t(j);
            int d = std::min({previous[J] + 1, current[J - 1] + 1,
                              previous[J - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d = std::min(d, before[J - 2] + 1);
            current[J] = d;
            best = std::min(best, d);
        }
        if (best > limit)
            return limit + 1;
    }
    return dp[std::size_t(n % 3)][std::size_t(m)];
}

} // namespace

QString muscleName(Muscle muscle) {
    return QString::fromUtf16(muscleNames[std::size_t(muscle)]);
}

QString fold(QStringView text) {
    // Latin-1 is folded by a table, other text through its canonical decomposition.
    const bool latin =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
    const QString decomposed =
        latin ? QString() : text.toString().normalized(QString::NormalizationForm_D);
    const QStringView from = latin ? text : QStringView(decomposed);
    QString folded(from.size(), Qt::Uninitialized);
    QChar *out = folded.data();
    qsizetype length = 0;
    bool blank = true; // no blank at the start
    for (const QChar c : from) {
        if (c.isSpace()) {
            if (!blank)
                out[length++] = u' ';
            blank = true;
        } else if (c.unicode() < 0x100) {
            out[length++] = foldedLatin1(c.unicode());
            blank = false;
        } else if (c.category() != QChar::Mark_NonSpacing) {
            out[length++] = c.toLower();
            blank = false;
        }
    }
    if (length > 0 && out[length - 1] == u' ')
        --length;
    folded.truncate(length);
    return folded;
}

QString foldInPlace(QStringView text) {
    QString folded(text.size(), Qt::Uninitialized);
    QChar *out = folded.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() >= 0x100)
            return {};
        out[i] = foldedLatin1(text[i].unicode());
    }
    return folded;
}

QString nameKey(QStringView text) {
    QString key = fold(text);
    QChar *out = key.data();
    qsizetype length = 0, word = 0; // the key so far, and where its last word starts
    const auto endWord = [&] {
        const QStringView last(out + word, length - word);
        length = isFiller(last) ? word : word + singularLength(last);
        word = length;
    };
    for (const QChar c : QStringView(key)) {
        if (c.isLetterOrNumber())
            out[length++] = c;
        else
            endWord();
    }
    endWord();
    key.truncate(length);
    return key;
}

QString nameKey(const QStringList &foldedWords) {
    qsizetype length = 0;
    for (const QString &word : foldedWords)
        length += word.size();
    QString key;
    key.reserve(length);
    for (const QString &word : foldedWords) {
        if (std::all_of(word.begin(), word.end(), [](QChar c) { return c.isLetterOrNumber(); })) {
            if (!isFiller(word))
                key += QStringView(word).left(singularLength(word));
        } else {
            key += nameKey(word);
        }
    }
    return key;
}

namespace catalogue {

qsizetype size() {
    return qsizetype(index().entries.size());
}

const CatalogueEntry &entry(qsizetype i) {
    return index().entries[std::size_t(i)];
}

qsizetype indexOf(QStringView name) {
    return index().byName.value(name.toString(), -1);
}

QList<qsizetype> withKey(QStringView key) {
    return index().byKey.value(key.toString());
}

QList<qsizetype> nearKey(QStringView key, int extra) {
    QList<qsizetype> found;
    if (key.size() < 5 || key.size() > 40)
        return found;
    // Diaries repeat their names: the last few thousand answers are kept, in each thread.
    thread_local QHash<QString, QList<qsizetype>> known[2];
    QHash<QString, QList<qsizetype>> &cache = known[extra > 0 ? 1 : 0];
    if (const auto it = cache.constFind(key.toString()); it != cache.cend())
        return *it;
    if (cache.size() > 4096)
        cache.clear();
    const QString cacheKey = key.toString();
    const int limit = (key.size() >= 10 ? 2 : 1) + extra;
    int nearest = limit + 1;
    const auto &byLength = index().keysByLength;
    for (qsizetype length = key.size() - limit; length <= key.size() + limit; ++length) {
        if (length < 0 || std::size_t(length) >= byLength.size())
            continue;
        for (const auto &[other, entry] : byLength[std::size_t(length)]) {
            if (other[0] != key[0])
                continue;
            const int d = slips(key, other, std::min(limit, nearest));
            if (d < nearest) {
                nearest = d;
                found.clear();
            }
            if (d == nearest && d <= limit && !found.contains(entry))
                found += entry;
        }
    }
    cache.insert(cacheKey, found);
    return found;
}

} // namespace catalogue
} // namespace training
