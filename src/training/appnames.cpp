// The names that Strong, Hevy and FitNotes give the common exercises, with the catalogue's name of
// each: an imported workout is then read as the catalogue's exercise. Names are compared folded
// (catalogue.h) and without their signs, so case, blanks and brackets do not matter.

#include "training/workouttext.h"

namespace training {
namespace {

struct AppName {
    const char16_t *catalogueName;
    const char16_t *appNames; // separated by '|'
};

constexpr AppName table[] = {
    {u"sentadilla", u"squat (barbell)|squat|back squat|barbell squat|high bar squat"},
    {u"sentadilla frontal", u"front squat (barbell)|front squat|barbell front squat"},
    {u"sentadilla goblet", u"goblet squat (kettlebell)|goblet squat (dumbbell)|goblet squat"},
    {u"sentadilla búlgara",
     u"bulgarian split squat|bulgarian split squat (dumbbell)|split squat (dumbbell)"},
    {u"sentadilla hack", u"hack squat|hack squat (machine)"},
    {u"sentadilla en multipower", u"squat (smith machine)|smith machine squat"},
    {u"prensa", u"leg press|leg press (machine)"},
    {u"extensión de cuádriceps", u"leg extension (machine)|leg extension|leg extensions"},
    {u"curl femoral tumbado", u"lying leg curl (machine)|lying leg curl|leg curl"},
    {u"curl femoral sentado", u"seated leg curl (machine)|seated leg curl|seated leg curls"},
    {u"zancadas", u"lunge (dumbbell)|lunge (barbell)|lunge|lunges|dumbbell lunge"},
    {u"zancadas caminando", u"walking lunge|walking lunge (dumbbell)"},
    {u"peso muerto", u"deadlift (barbell)|deadlift|barbell deadlift|conventional deadlift"},
    {u"peso muerto rumano",
     u"romanian deadlift (barbell)|romanian deadlift (dumbbell)|romanian deadlift"},
    {u"peso muerto con piernas rígidas", u"stiff leg deadlift (barbell)|stiff legged deadlift"},
    {u"peso muerto sumo", u"sumo deadlift (barbell)|sumo deadlift"},
    {u"peso muerto con barra hexagonal", u"trap bar deadlift|deadlift (trap bar)"},
    {u"hip thrust", u"hip thrust (barbell)|hip thrust|barbell hip thrust"},
    {u"puente de glúteo", u"glute bridge|glute bridge (barbell)"},
    {u"elevación de talones de pie",
     u"standing calf raise (machine)|standing calf raise|calf raise (machine)"},
    {u"elevación de talones sentado", u"seated calf raise (machine)|seated calf raise"},
    {u"press de banca",
     u"bench press (barbell)|bench press|flat barbell bench press|barbell bench press"},
    {u"press de banca inclinado",
     u"incline bench press (barbell)|incline bench press|incline barbell bench press"},
    {u"press de banca declinado", u"decline bench press (barbell)|decline barbell bench press"},
    {u"press de banca con mancuernas",
     u"bench press (dumbbell)|dumbbell bench press|flat dumbbell bench press"},
    {u"press inclinado con mancuernas",
     u"incline bench press (dumbbell)|incline dumbbell bench press|incline dumbbell press"},
    {u"press de banca en multipower", u"bench press (smith machine)|smith machine bench press"},
    {u"press de banca con agarre cerrado",
     u"close grip bench press (barbell)|close grip bench press|close grip barbell bench press"},
    {u"aperturas con mancuernas", u"chest fly (dumbbell)|chest fly|dumbbell fly|flat dumbbell fly"},
    {u"cruce de poleas", u"cable crossover|cable fly crossovers|chest fly (cable)"},
    {u"press de pecho en máquina", u"chest press (machine)|machine chest press"},
    {u"contractor de pecho", u"butterfly (pec deck)|pec deck (machine)|pec deck"},
    {u"flexiones", u"push up|push ups|push-up|pushup"},
    {u"fondos en paralelas", u"chest dip|triceps dip|dip|dips|parallel bar triceps dip"},
    {u"fondos entre bancos", u"bench dip|bench dips"},
    {u"dominadas", u"pull up|pull ups|pull-up|pullup|pull up (weighted)|wide pull up"},
    {u"dominadas supinas", u"chin up|chin ups|chin-up|chin up (weighted)"},
    {u"dominadas asistidas", u"pull up (assisted)|assisted pull up|assisted chin up"},
    {u"jalón al pecho", u"lat pulldown (cable)|lat pulldown (machine)|lat pulldown"},
    {u"jalón con agarre estrecho", u"close grip lat pulldown|lat pulldown - close grip (cable)"},
    {u"remo con barra", u"bent over row (barbell)|barbell row|bent over row"},
    {u"remo pendlay", u"pendlay row (barbell)|pendlay row"},
    {u"remo con mancuerna", u"bent over one arm row (dumbbell)|dumbbell row|one arm dumbbell "
                            u"row|dumbbell row (single arm)"},
    {u"remo en polea baja", u"seated row (cable)|seated cable row|cable row"},
    {u"remo en máquina", u"seated row (machine)|machine row|iso-lateral row (machine)"},
    {u"remo en punta", u"t bar row|t-bar row"},
    {u"remo invertido", u"inverted row|inverted row (bodyweight)"},
    {u"face pull", u"face pull (cable)|face pull"},
    {u"encogimientos de hombros", u"shrug (barbell)|shrug (dumbbell)|barbell shrug|dumbbell shrug"},
    {u"remo al mentón", u"upright row (barbell)|upright row"},
    {u"press militar",
     u"overhead press (barbell)|overhead press|strict military press (barbell)|military press"},
    {u"press militar con mancuernas",
     u"shoulder press (dumbbell)|overhead press (dumbbell)|seated dumbbell press|seated overhead "
     u"press (dumbbell)"},
    {u"press arnold", u"arnold press (dumbbell)|arnold press|arnold dumbbell press"},
    {u"press de hombro en máquina", u"shoulder press (machine)|machine shoulder press"},
    {u"elevaciones laterales",
     u"lateral raise (dumbbell)|lateral raise|dumbbell lateral raise|lateral raises"},
    {u"elevaciones laterales en polea", u"lateral raise (cable)|cable lateral raise"},
    {u"elevaciones frontales", u"front raise (dumbbell)|front raise|front dumbbell raise"},
    {u"pájaros", u"reverse fly (dumbbell)|rear delt reverse fly (dumbbell)|reverse fly"},
    {u"curl con barra", u"bicep curl (barbell)|barbell curl|biceps curl (barbell)"},
    {u"curl con mancuernas", u"bicep curl (dumbbell)|dumbbell curl|biceps curl (dumbbell)"},
    {u"curl con barra z", u"ez bar curl|bicep curl (ez bar)|ez-bar curl"},
    {u"curl martillo", u"hammer curl (dumbbell)|hammer curl|dumbbell hammer curl"},
    {u"curl concentrado", u"concentration curl (dumbbell)|concentration curl"},
    {u"curl predicador", u"preacher curl (barbell)|preacher curl (dumbbell)|preacher curl"},
    {u"curl en polea", u"bicep curl (cable)|cable curl"},
    {u"extensión de tríceps en polea",
     u"triceps pushdown (cable - straight bar)|triceps pushdown|tricep pushdown|cable triceps "
     u"pushdown"},
    {u"extensión de tríceps con cuerda", u"triceps rope pushdown|triceps pushdown (rope)"},
    {u"extensión de tríceps sobre la cabeza",
     u"triceps extension (dumbbell)|overhead triceps extension (cable)|overhead triceps extension"},
    {u"press francés",
     u"skullcrusher (barbell)|skullcrusher|skull crusher|lying triceps extension"},
    {u"patada de tríceps", u"triceps kickback (dumbbell)|triceps kickback"},
    {u"crunch", u"crunch|crunches|crunch (machine)"},
    {u"elevaciones de piernas", u"hanging leg raise|leg raise|lying leg raise"},
    {u"rueda abdominal", u"ab wheel|ab wheel rollout"},
    {u"crunch en polea", u"cable crunch|crunch (cable)"},
    {u"giros rusos", u"russian twist|russian twists"},
    {u"hiperextensiones", u"back extension|hyperextension|back extension (machine)"},
    {u"buenos días", u"good morning (barbell)|good morning"},
    {u"swing con kettlebell", u"kettlebell swing|kettlebell swings"},
    {u"cargada", u"power clean|clean (barbell)|clean"},
    {u"burpees", u"burpee|burpees"},
    {u"muscle up", u"muscle up|muscle ups"},
    {u"saltos al cajón", u"box jump|box jumps"},
    {u"subidas al cajón", u"step up|step up (dumbbell)|step ups"},
    {u"paseo del granjero", u"farmers walk|farmer's walk|farmers walk (dumbbell)"},
};

// What app names are compared by: folded, with blanks for signs and brackets, so that "Squat
// (Barbell)", "squat - barbell" and "Squat (Barbell" are one name.
QString appKey(QStringView name) {
    QString key = fold(name);
    for (QChar &c : key)
        if (!c.isLetterOrNumber())
            c = u' ';
    return key.simplified();
}

const QHash<QString, QString> &byAppName() {
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> made;
        for (const AppName &row : table)
            for (const QString &name : QString::fromUtf16(row.appNames).split(u'|'))
                made.insert(appKey(name), QString::fromUtf16(row.catalogueName));
        return made;
    }();
    return names;
}

} // namespace

QStringList knownAppNames() {
    return byAppName().keys();
}

std::optional<QString> catalogueNameOf(QStringView appName) {
    const auto found = byAppName().constFind(appKey(appName));
    if (found == byAppName().constEnd())
        return std::nullopt;
    return *found;
}

} // namespace training
