#include "Pomoc.h"

#include "ui_Pomoc.h"

const char* const HelpGuide = R"(<h3>Praca z programem QOR 3D</h3>
<p>QOR 3D liczy liniowo-sprężyste przemieszczenia i naprężenia brył zbudowanych z czworościanów.</p>
<ol>
<li><b>Siatka.</b> Zbuduj ją w menu <i>Dodaj</i>: <i>Prostopadłościan</i>, <i>Sześciościan</i>,
<i>Prostopadłościan dzielony</i> (bloki po sześć czworościanów) albo pojedynczo: <i>Węzeł</i> (x, y, z)
i <i>Element</i> (cztery numery węzłów i numer materiału). Siatkę z innego programu wczytaj poleceniem
<i>Plik → Import siatki z GiD</i> lub <i>Import siatki z Gmsh</i>.</li>
<li><b>Materiały.</b> <i>Dodaj → Materiał</i>: moduł Younga E (większy od zera) i współczynnik Poissona ni
(od -1 do 0,5). Elementy wskazują materiał jego numerem.</li>
<li><b>Podpory.</b> <i>Dodaj → Podporę</i>: zakres numerów węzłów i unieruchomione kierunki x, y, z.
Model musi być podparty tak, by nie mógł się przesunąć ani obrócić jako całość.</li>
<li><b>Siły.</b> <i>Dodaj → Siłę</i>: składowe siły w węzłach z podanego zakresu.</li>
<li><b>Obliczenia.</b> <i>Obliczenia → Oblicz</i>. Okno liczy modele do 665 węzłów.
<i>Obliczenia → Statystyka</i> podaje największe przemieszczenie i naprężenie zredukowane.</li>
<li><b>Oglądanie.</b> Menu <i>Widok</i>: obrót paskami pod paskiem narzędzi lub myszą, widoki
<i>Z przodu</i>, <i>Z góry</i>, <i>Z boku</i>, <i>Izometria</i>, powiększanie, ukrywanie linii
niewidocznych (Ctrl+H), mapa barw wybranej składowej w <i>Naprężenia</i>, kształt po odkształceniu
(<i>Przemieszczenia</i>) oraz numery węzłów, elementów i materiałów.</li>
<li><b>Przeglądanie.</b> <i>Obliczenia → Dane obliczneniowe</i> pokazuje elementy, węzły, materiały,
podpory i siły; <i>Obliczenia → Wyniki obliczeń</i> naprężenia w elementach i przemieszczenia węzłów.</li>
<li><b>Zapis.</b> <i>Plik → Zapisz</i> (Ctrl+S) zapisuje model do pliku .q3d, <i>Plik → Otwórz</i> (Ctrl+O)
go wczytuje. Przed poleceniem, które porzuciłoby zmieniony model, program pyta, czy zapisać zmiany.</li>
<li><b>Eksport.</b> <i>Eksport wyników do VTK...</i> zapisuje siatkę z wynikami w pliku .vtu (np. dla
ParaView); <i>Eksport wyników do CSV...</i> dla podanej nazwy NAZWA zapisuje dwie tabele:
NAZWA_wezly.csv (współrzędne i przemieszczenia węzłów) i NAZWA_elementy.csv (węzły, materiał
i naprężenia elementów); <i>Zapisz obraz...</i> zapisuje widok jako obraz PNG.</li>
<li><b>Duże modele.</b> Modele większe niż okno może obliczyć liczy polecenie wiersza poleceń
<code>qor3d-batch</code>, np.:<br><code>qor3d-batch model.q3d --vtk wyniki.vtu --nodes-csv wezly.csv
--elements-csv elementy.csv</code><br>(<code>qor3d-batch --help</code> opisuje wszystkie opcje).</li>
</ol>)";

TPomoc::TPomoc(QWidget* parent) : qor::ModalDialog(parent), ui(new Ui::TPomoc) {
  ui->setupUi(this);
  ui->Tekst->setHtml(QString::fromUtf8(HelpGuide));
  connect(ui->OK, &QPushButton::clicked, this, &QDialog::accept);
}

TPomoc::~TPomoc() { delete ui; }
