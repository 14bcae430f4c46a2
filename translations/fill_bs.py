#!/usr/bin/env python3
# Writes the Bosnian texts into ejournal_bs.ts after lupdate has refreshed
# it: the translations are kept here, keyed by context and English source,
# so an English text that changes shows up as untranslated instead of
# silently keeping an old translation.
# Usage: translations/fill_bs.py translations/ejournal_bs.ts
import sys
import xml.etree.ElementTree as ET

# The journal's own texts, formats and technical names stay as they are.
BS = {
    ('FindBar', 'Close (Esc)'): 'Zatvori (Esc)',
    ('FindBar', 'Close the find bar'): 'Zatvori traku za pretragu',
    ('FindBar', 'Find:'): 'Traži:',
    ('FindBar', 'Find in the result'): 'Traži u rezultatu',
    ('FindBar', 'Enter or F3: next, Shift+F3: previous'): 'Enter ili F3: sljedeće, Shift+F3: prethodno',
    ('FindBar', 'Go to document:'): 'Idi na dokument:',
    ('FindBar', 'Go to document'): 'Idi na dokument',
    ('FindBar', "The document's number, then Enter"): 'Broj dokumenta, pa Enter',
    ('FindBar', 'not a document number'): 'nije broj dokumenta',
    ('ResultView', 'Original'): 'Original',
    ('ResultView', 'Decoded'): 'Dekodirano',
    ('ResultView', 'Position in file'): 'Položaj u datoteci',
    ('TDebugForm', 'Debug Form'): 'Dijagnostika',
    ('TDebugForm', 'Test results'): 'Rezultati testova',
    ('TDebugForm', 'Test input'): 'Ulaz za test',
    ('TDebugForm', 'Lifebeat:'): 'Otkucaji:',
    ('TDebugForm', 'Lines'): 'Linije',
    ('TDebugForm', 'Queue'): 'Red',
    ('TDebugForm', "'%1' is not a valid integer value"): "'%1' nije ispravan cijeli broj",
    ('TMainForm', 'Close program'): 'Zatvori program',
    ('TMainForm', 'Print'): 'Štampaj',
    ('TMainForm', 'Export as TXT'): 'Izvezi kao TXT',
    ('TMainForm', 'Export to Excel'): 'Izvezi u Excel',
    ('TMainForm', 'Information about Elctronic journal'): 'Informacije o elektronskom žurnalu',
    ('TMainForm', ' Device type '): ' Vrsta uređaja ',
    ('TMainForm', 'Cash Register'): 'Kasa',
    ('TMainForm', 'Fiscal Printer'): 'Fiskalni printer',
    ('TMainForm', 'No connection with Electronic Journal'): 'Nema veze s elektronskim žurnalom',
    ('TMainForm', ' Filter '): ' Filter ',
    ('TMainForm', "By receipt's number"): 'Po broju računa',
    ('TMainForm', 'From'): 'Od',
    ('TMainForm', 'From receipt number'): 'Od broja računa',
    ('TMainForm', 'To'): 'Do',
    ('TMainForm', 'To receipt number'): 'Do broja računa',
    ('TMainForm', 'By dates'): 'Po datumima',
    ('TMainForm', 'From date'): 'Od datuma',
    ('TMainForm', 'From time'): 'Od vremena',
    ('TMainForm', 'To date'): 'Do datuma',
    ('TMainForm', 'To time'): 'Do vremena',
    ('TMainForm', 'All'): 'Sve',
    ('TMainForm', 'Show on screen'): 'Prikaži na ekranu',
    ('TMainForm', 'Save original to file'): 'Sačuvaj original',
    ('TMainForm', 'Save converted to file'): 'Sačuvaj dekodirano',
    ('TMainForm', 'Read electronic journal'): 'Čitaj elektronski žurnal',
    ('TMainForm', 'Result'): 'Rezultat',
    ('TMainForm', ' (simulated journal)'): ' (simulirani žurnal)',
    ('TMainForm', 'Document %1'): 'Dokument %1',
    ('TMainForm', ' of '): ' od ',
    ('TMainForm', 'the read is still running'): 'čitanje je još u toku',
    ('TMainForm', 'no result to look in yet'): 'još nema rezultata za pretragu',
    ('TMainForm', 'not found'): 'nije pronađeno',
    ('TMainForm', 'from the end'): 'od kraja',
    ('TMainForm', 'from the top'): 'od početka',
    ('TMainForm', 'no document index: %1'): 'nema indeksa dokumenata: %1',
    ('TMainForm', 'no document %1 in this result'): 'dokumenta %1 nema u ovom rezultatu',
    ('TMainForm', 'document %1 has no lines in this result'): 'dokument %1 nema linija u ovom rezultatu',
    ('TMainForm', 'Save to file'): 'Sačuvaj u datoteku',
    ('TMainForm', 'TXT files (*.txt);;All files (*.*)'): 'TXT datoteke (*.txt);;Sve datoteke (*.*)',
    ('TMainForm', 'Success.'): 'Uspješno.',
    ('TMainForm', 'The report was saved as "%1"; the spreadsheet program cannot show it here.'):
        'Izvještaj je sačuvan kao "%1"; program za tabele ga ovdje ne može prikazati.',
    ('TMainForm', 'Excel is missing. Please install it first'): 'Nema Excela. Molimo prvo ga instalirajte',
    ('TMainForm', 'Please make new search'): 'Molimo napravite novu pretragu',
    ('TMainForm', 'Error in Excel'): 'Greška u Excelu',
    ('TPassForm', 'Enter password'): 'Unesite lozinku',
    ('TPassForm', 'Password: '): 'Lozinka: ',
    ('TPassForm', 'OK'): 'U redu',
    ('TPassForm', 'Close'): 'Zatvori',
    ('TPassForm', 'Fiscal Memory'): 'Fiskalna memorija',
    ('TPassForm', 'Client ID'): 'ID klijenta',
    ('TPassForm', 'Wrong Password. '): 'Pogrešna lozinka. ',
    ('TPassForm', ' attepts left.'): ' preostalih pokušaja.',
    ('TPassForm', '  This is an initialization function.  '): '  Ovo je funkcija inicijalizacije.  ',
    ('TPassForm', 'Do you want to initialize the journal? '): 'Želite li inicijalizovati žurnal? ',
    ('TPassForm', '  This is an generation function.  '): '  Ovo je funkcija generisanja.  ',
    ('TPassForm', 'Do you want to generate fake data? '): 'Želite li generisati lažne podatke? ',
    ('TPassForm', ' This is an erase function. '): ' Ovo je funkcija brisanja. ',
    ('TPassForm', 'All data will be DESTOYED!!!'): 'Svi podaci će biti UNIŠTENI!!!',
    ('TPassForm', 'Do you want to erase flash? '): 'Želite li obrisati fleš memoriju? ',
    ('TStatusForm', 'Information'): 'Informacija',
    ('TStatusForm', 'Please Wait...'): 'Molimo sačekajte...',
    ('TStatusForm', 'Cancel'): 'Otkaži',
    ('TSysInfoForm', 'Electronic journal info'): 'Podaci o elektronskom žurnalu',
    ('TSysInfoForm', 'Initialization date:'): 'Datum inicijalizacije:',
    ('TSysInfoForm', 'Initialization time:'): 'Vrijeme inicijalizacije:',
    ('TSysInfoForm', 'Fiscal memory No:'): 'Broj fiskalne memorije:',
    ('TSysInfoForm', 'Client No:'): 'Broj klijenta:',
    ('TSysInfoForm', 'Stored documents:'): 'Pohranjeni dokumenti:',
    ('TSysInfoForm', 'Free memory:'): 'Slobodna memorija:',
    ('TSysInfoForm', 'Close'): 'Zatvori',
    ('TSysInfoForm', 'Close program'): 'Zatvori program',
    ('TSysInfoForm', 'Electronic Journal is not initialized'): 'Elektronski žurnal nije inicijalizovan',
    ('TSysInfoForm', 'No connection with Electronic Journal'): 'Nema veze s elektronskim žurnalom',
    ('ejournal', 'Page '): 'Strana ',
    ('ejournal', 'The file is incomplete.'): 'Datoteka nije potpuna.',
    ('ejournal', 'The printer cannot be used.'): 'Štampač se ne može koristiti.',
    ('ejournal', 'The document index %1 could not be written: %2'): 'Indeks dokumenata %1 nije mogao biti zapisan: %2',
    ('ejournal', 'not a document index'): 'nije indeks dokumenata',
    ('ejournal', 'the document index does not belong to this journal file'): 'indeks dokumenata ne pripada ovoj datoteci žurnala',
    ('ejournal', 'Cannot create file "%1". %2'): 'Ne mogu napraviti datoteku "%1". %2',
    ('ejournal', 'Cannot write file "%1". %2'): 'Ne mogu pisati u datoteku "%1". %2',
    ('ejournal', 'Cannot open file "%1". %2'): 'Ne mogu otvoriti datoteku "%1". %2',
    ('ejournal', 'Cannot read file "%1". %2'): 'Ne mogu čitati datoteku "%1". %2',
    ('ejournal', 'Read cancelled; the %1 lines received are kept'): 'Čitanje otkazano; primljene linije (%1) su sačuvane',
    ('ejournal', 'Found %1 documents, %2 lines, about %3 pages'): 'Pronađeno dokumenata: %1, linija: %2, oko %3 strana',
    ('ejournal', 'The receipt number in "%1" must be a whole number up to 2147483647.'):
        'Broj računa u "%1" mora biti cijeli broj do 2147483647.',
    ('ejournal', 'from document '): 'od dokumenta ',
    ('ejournal', ' to document '): ' do dokumenta ',
    ('ejournal', 'from %1 %2 to %3 %4'): 'od %1 %2 do %3 %4',
    ('ejournal', 'No stored documents'): 'Nema pohranjenih dokumenata',
    ('ejournal', 'all stored documents'): 'svi pohranjeni dokumenti',
    ('ejournal', '       Number of documents are more then 5000.       \n\rInformation about documents will not be dislayed on PC\n\rDo you want to continue?'):
        '       Broj dokumenata je veći od 5000.       \n\rPodaci o dokumentima neće biti prikazani na računaru\n\rŽelite li nastaviti?',
    ('ejournal', 'Please choose type of serching'): 'Molimo izaberite vrstu pretrage',
    ('ejournal', 'Done'): 'Gotovo',
    ('ejournal', 'Electronic journal was initialized'): 'Elektronski žurnal je inicijalizovan',
    ('ejournal', 'Electronic journal was erased.'): 'Elektronski žurnal je obrisan.',
    ('ejournal', 'Starting generation of data....'): 'Počinje generisanje podataka....',
    ('ejournal', 'Communication timeout (no responce from device)'): 'Isteklo vrijeme komunikacije (uređaj ne odgovara)',
    ('ejournal', 'Document number is out of range'): 'Broj dokumenta je izvan opsega',
    ('ejournal', 'No communication with device'): 'Nema komunikacije s uređajem',
    ('ejournal', 'Find other device'): 'Pronađen drugi uređaj',
    ('ejournal', 'No device found'): 'Uređaj nije pronađen',
    ('ejournal', 'Error writing to USB'): 'Greška pri pisanju na USB',
    ('ejournal', 'Error reading from USB'): 'Greška pri čitanju s USB-a',
    ('ejournal', 'Invalid packet length'): 'Neispravna dužina paketa',
    ('ejournal', 'Error opening device: '): 'Greška pri otvaranju uređaja: ',
    ('ejournal', '. Reset hardware and try again.'): '. Resetujte uređaj i pokušajte ponovo.',
    ('ejournal', 'Found other device'): 'Pronađen drugi uređaj',
    ('ejournal', 'Error writing to USB. Wrote %1 of %2 bytes. '): 'Greška pri pisanju na USB. Zapisano %1 od %2 bajtova. ',
    ('ejournal', 'Error reading from  USB. Read %1 of %2 bytes'): 'Greška pri čitanju s USB-a. Pročitano %1 od %2 bajtova',
    ('ejournal', 'Another journal was attached; the read stopped.'): 'Priključen je drugi žurnal; čitanje je zaustavljeno.',
    ('ejournal', "The journal's lines are %1 characters long: choose %2."): 'Linije žurnala imaju %1 znakova: izaberite %2.',
    ('ejournal', "The journal's lines are not %1 characters long: an answer of %2 lines carried %3 bytes."):
        'Linije žurnala nemaju %1 znakova: odgovor od %2 linija nosio je %3 bajtova.',
    ('ejournal', 'Error'): 'Greška',
    ('ejournal', 'Warning'): 'Upozorenje',
    ('ejournal', 'Information'): 'Informacija',
    ('ejournal', 'Confirm'): 'Potvrda',
}

path = sys.argv[1]
tree = ET.parse(path)
done = 0
for context in tree.getroot().findall('context'):
    name = context.find('name').text
    for message in context.findall('message'):
        source = message.find('source').text
        translation = message.find('translation')
        text = BS.get((name, source))
        if text is None:
            translation.set('type', 'unfinished')
            translation.text = None
            continue
        translation.attrib.pop('type', None)
        translation.text = text
        done += 1
tree.write(path, encoding='utf-8', xml_declaration=True)
print(f'{done} texts in Bosnian')
