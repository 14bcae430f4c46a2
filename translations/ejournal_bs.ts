<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="bs">
<context>
    <name>FindBar</name>
    <message>
        <source>Close (Esc)</source>
        <translation>Zatvori (Esc)</translation>
    </message>
    <message>
        <source>Close the find bar</source>
        <translation>Zatvori traku za pretragu</translation>
    </message>
    <message>
        <source>Find:</source>
        <translation>Traži:</translation>
    </message>
    <message>
        <source>Find in the result</source>
        <translation>Traži u rezultatu</translation>
    </message>
    <message>
        <source>Enter or F3: next, Shift+F3: previous</source>
        <translation>Enter ili F3: sljedeće, Shift+F3: prethodno</translation>
    </message>
    <message>
        <source>Go to document:</source>
        <translation>Idi na dokument:</translation>
    </message>
    <message>
        <source>Go to document</source>
        <translation>Idi na dokument</translation>
    </message>
    <message>
        <source>The document's number, then Enter</source>
        <translation>Broj dokumenta, pa Enter</translation>
    </message>
    <message>
        <source>not a document number</source>
        <translation>nije broj dokumenta</translation>
    </message>
</context>
<context>
    <name>ResultView</name>
    <message>
        <source>Original</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Decoded</source>
        <translation>Dekodirano</translation>
    </message>
    <message>
        <source>Position in file</source>
        <translation>Položaj u datoteci</translation>
    </message>
</context>
<context>
    <name>TDebugForm</name>
    <message>
        <source>Debug Form</source>
        <translation>Dijagnostika</translation>
    </message>
    <message>
        <source>Test results</source>
        <translation>Rezultati testova</translation>
    </message>
    <message>
        <source>POP</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Execute</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Send command</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>BCD</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>INT</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Conv</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>DAT</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>TIM</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Test input</source>
        <translation>Ulaz za test</translation>
    </message>
    <message>
        <source>ABC</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Lifebeat:</source>
        <translation>Otkucaji:</translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Lines</source>
        <translation>Linije</translation>
    </message>
    <message>
        <source>Queue</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>'%1' is not a valid integer value</source>
        <translation>'%1' nije ispravan cijeli broj</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>Velmora Tavrello 1.2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Close program</source>
        <translation>Zatvori program</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Štampaj</translation>
    </message>
    <message>
        <source>Export as TXT</source>
        <translation>Izvezi kao TXT</translation>
    </message>
    <message>
        <source>Export to Excel</source>
        <translation>Izvezi u Excel</translation>
    </message>
    <message>
        <source>Information about Elctronic journal</source>
        <translation>Informacije o elektronskom žurnalu</translation>
    </message>
    <message>
        <source> Device type </source>
        <translation> Vrsta uređaja </translation>
    </message>
    <message>
        <source>Cash Register</source>
        <translation>Kasa</translation>
    </message>
    <message>
        <source>Fiscal Printer</source>
        <translation>Fiskalni printer</translation>
    </message>
    <message>
        <source>No connection with Electronic Journal</source>
        <translation>Nema veze s elektronskim žurnalom</translation>
    </message>
    <message>
        <source>Velmora Tavrello</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> Filter </source>
        <translation> Filter </translation>
    </message>
    <message>
        <source>By receipt's number</source>
        <translation>Po broju računa</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Od</translation>
    </message>
    <message>
        <source>From receipt number</source>
        <translation>Od broja računa</translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>To</source>
        <translation>Do</translation>
    </message>
    <message>
        <source>To receipt number</source>
        <translation>Do broja računa</translation>
    </message>
    <message>
        <source>By dates</source>
        <translation>Po datumima</translation>
    </message>
    <message>
        <source>From date</source>
        <translation>Od datuma</translation>
    </message>
    <message>
        <source>dd.MM.yyyy</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>From time</source>
        <translation>Od vremena</translation>
    </message>
    <message>
        <source>HH:mm:ss</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>To date</source>
        <translation>Do datuma</translation>
    </message>
    <message>
        <source>To time</source>
        <translation>Do vremena</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Sve</translation>
    </message>
    <message>
        <source>Show on screen</source>
        <translation>Prikaži na ekranu</translation>
    </message>
    <message>
        <source>Save original to file</source>
        <translation>Sačuvaj original</translation>
    </message>
    <message>
        <source>Save converted to file</source>
        <translation>Sačuvaj dekodirano</translation>
    </message>
    <message>
        <source>Read electronic journal</source>
        <translation>Čitaj elektronski žurnal</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Rezultat</translation>
    </message>
    <message>
        <source> (simulated journal)</source>
        <translation> (simulirani žurnal)</translation>
    </message>
    <message>
        <source>Document %1</source>
        <translation>Dokument %1</translation>
    </message>
    <message>
        <source> of </source>
        <translation> od </translation>
    </message>
    <message>
        <source>the read is still running</source>
        <translation>čitanje je još u toku</translation>
    </message>
    <message>
        <source>no result to look in yet</source>
        <translation>još nema rezultata za pretragu</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>nije pronađeno</translation>
    </message>
    <message>
        <source>from the end</source>
        <translation>od kraja</translation>
    </message>
    <message>
        <source>from the top</source>
        <translation>od početka</translation>
    </message>
    <message>
        <source>no document index: %1</source>
        <translation>nema indeksa dokumenata: %1</translation>
    </message>
    <message>
        <source>no document %1 in this result</source>
        <translation>dokumenta %1 nema u ovom rezultatu</translation>
    </message>
    <message>
        <source>document %1 has no lines in this result</source>
        <translation>dokument %1 nema linija u ovom rezultatu</translation>
    </message>
    <message>
        <source>Save to file</source>
        <translation>Sačuvaj u datoteku</translation>
    </message>
    <message>
        <source>TXT files (*.txt);;All files (*.*)</source>
        <translation>TXT datoteke (*.txt);;Sve datoteke (*.*)</translation>
    </message>
    <message>
        <source>Success.</source>
        <translation>Uspješno.</translation>
    </message>
    <message>
        <source>Excel is missing. Please install it first</source>
        <translation>Nema Excela. Molimo prvo ga instalirajte</translation>
    </message>
    <message>
        <source>Please make new search</source>
        <translation>Molimo napravite novu pretragu</translation>
    </message>
    <message>
        <source>Error in Excel</source>
        <translation>Greška u Excelu</translation>
    </message>
    <message>
        <source>The report was saved as "%1"; the spreadsheet program cannot show it here.</source>
        <translation>Izvještaj je sačuvan kao "%1"; program za tabele ga ovdje ne može prikazati.</translation>
    </message>
</context>
<context>
    <name>TPassForm</name>
    <message>
        <source>Enter password</source>
        <translation>Unesite lozinku</translation>
    </message>
    <message>
        <source>Password: </source>
        <translation>Lozinka: </translation>
    </message>
    <message>
        <source>lineedit-password-character: 42;</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>OK</source>
        <translation>U redu</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zatvori</translation>
    </message>
    <message>
        <source>Fiscal Memory</source>
        <translation>Fiskalna memorija</translation>
    </message>
    <message>
        <source>Client ID</source>
        <translation>ID klijenta</translation>
    </message>
    <message>
        <source>QToolButton { color: red; font-weight: bold; }</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>INIT</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>GENERATE</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>ERASE</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Wrong Password. </source>
        <translation>Pogrešna lozinka. </translation>
    </message>
    <message>
        <source> attepts left.</source>
        <translation> preostalih pokušaja.</translation>
    </message>
    <message>
        <source>  This is an initialization function.  </source>
        <translation>  Ovo je funkcija inicijalizacije.  </translation>
    </message>
    <message>
        <source>Do you want to initialize the journal? </source>
        <translation>Želite li inicijalizovati žurnal? </translation>
    </message>
    <message>
        <source>  This is an generation function.  </source>
        <translation>  Ovo je funkcija generisanja.  </translation>
    </message>
    <message>
        <source>Do you want to generate fake data? </source>
        <translation>Želite li generisati lažne podatke? </translation>
    </message>
    <message>
        <source> This is an erase function. </source>
        <translation> Ovo je funkcija brisanja. </translation>
    </message>
    <message>
        <source>All data will be DESTOYED!!!</source>
        <translation>Svi podaci će biti UNIŠTENI!!!</translation>
    </message>
    <message>
        <source>Do you want to erase flash? </source>
        <translation>Želite li obrisati fleš memoriju? </translation>
    </message>
</context>
<context>
    <name>TStatusForm</name>
    <message>
        <source>Information</source>
        <translation>Informacija</translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>/</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Please Wait...</source>
        <translation>Molimo sačekajte...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Otkaži</translation>
    </message>
</context>
<context>
    <name>TSysInfoForm</name>
    <message>
        <source>Electronic journal info</source>
        <translation>Podaci o elektronskom žurnalu</translation>
    </message>
    <message>
        <source>Initialization date:</source>
        <translation>Datum inicijalizacije:</translation>
    </message>
    <message>
        <source>Initialization time:</source>
        <translation>Vrijeme inicijalizacije:</translation>
    </message>
    <message>
        <source>Fiscal memory No:</source>
        <translation>Broj fiskalne memorije:</translation>
    </message>
    <message>
        <source>Client No:</source>
        <translation>Broj klijenta:</translation>
    </message>
    <message>
        <source>Stored documents:</source>
        <translation>Pohranjeni dokumenti:</translation>
    </message>
    <message>
        <source>Free memory:</source>
        <translation>Slobodna memorija:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zatvori</translation>
    </message>
    <message>
        <source>Close program</source>
        <translation>Zatvori program</translation>
    </message>
    <message>
        <source>Electronic Journal is not initialized</source>
        <translation>Elektronski žurnal nije inicijalizovan</translation>
    </message>
    <message>
        <source>No connection with Electronic Journal</source>
        <translation>Nema veze s elektronskim žurnalom</translation>
    </message>
</context>
<context>
    <name>ejournal</name>
    <message>
        <source>Page </source>
        <translation>Strana </translation>
    </message>
    <message>
        <source>The file is incomplete.</source>
        <translation>Datoteka nije potpuna.</translation>
    </message>
    <message>
        <source>The printer cannot be used.</source>
        <translation>Štampač se ne može koristiti.</translation>
    </message>
    <message>
        <source>The document index %1 could not be written: %2</source>
        <translation>Indeks dokumenata %1 nije mogao biti zapisan: %2</translation>
    </message>
    <message>
        <source>not a document index</source>
        <translation>nije indeks dokumenata</translation>
    </message>
    <message>
        <source>the document index does not belong to this journal file</source>
        <translation>indeks dokumenata ne pripada ovoj datoteci žurnala</translation>
    </message>
    <message>
        <source>Cannot create file "%1". %2</source>
        <translation>Ne mogu napraviti datoteku "%1". %2</translation>
    </message>
    <message>
        <source>Cannot write file "%1". %2</source>
        <translation>Ne mogu pisati u datoteku "%1". %2</translation>
    </message>
    <message>
        <source>Cannot open file "%1". %2</source>
        <translation>Ne mogu otvoriti datoteku "%1". %2</translation>
    </message>
    <message>
        <source>Cannot read file "%1". %2</source>
        <translation>Ne mogu čitati datoteku "%1". %2</translation>
    </message>
    <message>
        <source>Read cancelled; the %1 lines received are kept</source>
        <translation>Čitanje otkazano; primljene linije (%1) su sačuvane</translation>
    </message>
    <message>
        <source>Found %1 documents, %2 lines, about %3 pages</source>
        <translation>Pronađeno dokumenata: %1, linija: %2, oko %3 strana</translation>
    </message>
    <message>
        <source>The receipt number in "%1" must be a whole number up to 2147483647.</source>
        <translation>Broj računa u "%1" mora biti cijeli broj do 2147483647.</translation>
    </message>
    <message>
        <source>from document </source>
        <translation>od dokumenta </translation>
    </message>
    <message>
        <source> to document </source>
        <translation> do dokumenta </translation>
    </message>
    <message>
        <source>from %1 %2 to %3 %4</source>
        <translation>od %1 %2 do %3 %4</translation>
    </message>
    <message>
        <source>No stored documents</source>
        <translation>Nema pohranjenih dokumenata</translation>
    </message>
    <message>
        <source>all stored documents</source>
        <translation>svi pohranjeni dokumenti</translation>
    </message>
    <message>
        <source>       Number of documents are more then 5000.       
<byte value="xd" />Information about documents will not be dislayed on PC
<byte value="xd" />Do you want to continue?</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Please choose type of serching</source>
        <translation>Molimo izaberite vrstu pretrage</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Gotovo</translation>
    </message>
    <message>
        <source>Electronic journal was initialized</source>
        <translation>Elektronski žurnal je inicijalizovan</translation>
    </message>
    <message>
        <source>Electronic journal was erased.</source>
        <translation>Elektronski žurnal je obrisan.</translation>
    </message>
    <message>
        <source>Starting generation of data....</source>
        <translation>Počinje generisanje podataka....</translation>
    </message>
    <message>
        <source>Communication timeout (no responce from device)</source>
        <translation>Isteklo vrijeme komunikacije (uređaj ne odgovara)</translation>
    </message>
    <message>
        <source>Document number is out of range</source>
        <translation>Broj dokumenta je izvan opsega</translation>
    </message>
    <message>
        <source>No communication with device</source>
        <translation>Nema komunikacije s uređajem</translation>
    </message>
    <message>
        <source>Find other device</source>
        <translation>Pronađen drugi uređaj</translation>
    </message>
    <message>
        <source>No device found</source>
        <translation>Uređaj nije pronađen</translation>
    </message>
    <message>
        <source>Error writing to USB</source>
        <translation>Greška pri pisanju na USB</translation>
    </message>
    <message>
        <source>Error reading from USB</source>
        <translation>Greška pri čitanju s USB-a</translation>
    </message>
    <message>
        <source>Invalid packet length</source>
        <translation>Neispravna dužina paketa</translation>
    </message>
    <message>
        <source>Error opening device: </source>
        <translation>Greška pri otvaranju uređaja: </translation>
    </message>
    <message>
        <source>. Reset hardware and try again.</source>
        <translation>. Resetujte uređaj i pokušajte ponovo.</translation>
    </message>
    <message>
        <source>Found other device</source>
        <translation>Pronađen drugi uređaj</translation>
    </message>
    <message>
        <source>Error writing to USB. Wrote %1 of %2 bytes. </source>
        <translation>Greška pri pisanju na USB. Zapisano %1 od %2 bajtova. </translation>
    </message>
    <message>
        <source>Error reading from  USB. Read %1 of %2 bytes</source>
        <translation>Greška pri čitanju s USB-a. Pročitano %1 od %2 bajtova</translation>
    </message>
    <message>
        <source>Another journal was attached; the read stopped.</source>
        <translation>Priključen je drugi žurnal; čitanje je zaustavljeno.</translation>
    </message>
    <message>
        <source>The journal's lines are %1 characters long: choose %2.</source>
        <translation>Linije žurnala imaju %1 znakova: izaberite %2.</translation>
    </message>
    <message>
        <source>The journal's lines are not %1 characters long: an answer of %2 lines carried %3 bytes.</source>
        <translation>Linije žurnala nemaju %1 znakova: odgovor od %2 linija nosio je %3 bajtova.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Greška</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Upozorenje</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Informacija</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Potvrda</translation>
    </message>
</context>
</TS>