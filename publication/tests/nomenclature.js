// A release's bill of materials checked against the release: valid CycloneDX 1.6
// (JsonStrictValidator); each licence an SPDX expression of SPDX identifiers; each purl
// parsed, its version the component's; each component but the game with its Debian
// source files' sha256; each shipped file listed with its sha256, and no other; each
// component inside the release with its notice there, whose text holds its licences'
// own words; and, read apart from what wrote the bill, each Debian source package the
// release file holds (its font, its DLLs, a setup's stubs) or its link took (TRACE, the
// linker's -t -t or --trace) named by a component.
//   node nomenclature.js SBOM.cdx.json RELEASE [TRACE]
//     RELEASE: a page's folder, a .zip, a setup .exe, a .deb or the source .tar.xz (no compiler)
// Exits 77 when this folder's node_modules are not installed (npm ci).
const { execFileSync } = require('node:child_process');
const crypto = require('node:crypto');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

let cdx, spdx, PackageURL;
try {
  cdx = require('@cyclonedx/cyclonedx-library');
  spdx = require('spdx-expression-parse');
  ({ PackageURL } = require('packageurl-js'));
} catch (e) {
  console.log(`${e.message}: npm ci in publication/tests installs it`);
  process.exit(77);
}

// The release's files in a folder: a page's own, a zip's or a source tarball's one
// folder, a .deb's tree.
function Deballer(release) {
  if (fs.statSync(release).isDirectory())
    return release;
  const dossier = fs.mkdtempSync(path.join(os.tmpdir(), 'gavremo-nomenclature-'));
  process.on('exit', () => fs.rmSync(dossier, { recursive: true, force: true }));
  // A setup as 7-Zip reads it: the files it installs, its uninstaller, and NSIS's own
  // plugins in $PLUGINSDIR, which it runs from a temporary folder and never installs.
  if (release.endsWith('.exe')) {
    execFileSync('7z', ['x', '-bd', '-y', `-o${dossier}`, release], { stdio: 'ignore' });
    fs.rmSync(path.join(dossier, '$PLUGINSDIR'), { recursive: true, force: true });
    return dossier;
  }
  if (release.endsWith('.zip') || release.endsWith('.tar.xz')) {
    if (release.endsWith('.zip'))
      execFileSync('unzip', ['-q', release, '-d', dossier]);
    else
      execFileSync('tar', ['-xJf', release, '-C', dossier]);
    const [seul] = fs.readdirSync(dossier);
    return path.join(dossier, seul);
  }
  execFileSync('dpkg-deb', ['-x', release, dossier]);
  return dossier;
}

function Fichiers(dossier, sous = '') {
  return fs.readdirSync(path.join(dossier, sous), { withFileTypes: true }).flatMap(e => {
    const f = path.posix.join(sous, e.name);
    return e.isDirectory() ? Fichiers(dossier, f) : e.isFile() ? [f] : [];
  });
}

// The CycloneDX release every bill of materials is written in, and checked against.
const CYCLONEDX = '1.6';

// Words each licence's text holds, by SPDX identifier, sought in a notice with its case
// and spaces ignored: a notice of one letter, or of another licence, fails.
const MOTS = {
  'Zlib': ["This software is provided 'as-is'", 'must not be misrepresented'],
  'OFL-1.1': ['SIL OPEN FONT LICENSE', 'Version 1.1'],
  'FTL': ['The FreeType Project LICENSE'],
  'GPL-2.0-or-later': ['GNU General Public License', 'version 2'],
  'GPL-3.0-or-later': ['GNU GENERAL PUBLIC LICENSE', 'Version 3, 29 June 2007'],
  'GCC-exception-3.1': ['GCC RUNTIME LIBRARY EXCEPTION', 'Version 3.1'],
  'LGPL-2.1-or-later': ['GNU Lesser General Public', 'version 2.1'],
  'IJG': ['Independent JPEG Group'],
  'BSD-3-Clause': ['Neither the name of'],
  'BSD-2-Clause': ['Redistributions in binary form must reproduce'],
  'MIT': ['Permission is hereby granted, free of charge'],
  'NCSA': ['University of Illinois/NCSA Open Source License'],
  'ZPL-2.1': ['Servicemarks (sm) or Trademarks (tm)', 'If any files are modified, you must cause'],
  'CPL-1.0': ['Common Public License', '1.0'],
  'Apache-2.0': ['Apache License', 'Version 2.0'],
  'LLVM-exception': ['LLVM Exceptions'],
  'CC0-1.0': ['CC0'],
};
const plat = t => t.replace(/\s+/g, ' ').toLowerCase();
// The licences an SPDX expression asks a notice to hold: each of AND and WITH, one of OR.
function Manque(arbre, texte) {
  if (arbre.conjunction === 'or')
    return Manque(arbre.left, texte).length && Manque(arbre.right, texte).length ?
      [`${Manque(arbre.left, texte)} or ${Manque(arbre.right, texte)}`] : [];
  if (arbre.conjunction === 'and')
    return [...Manque(arbre.left, texte), ...Manque(arbre.right, texte)];
  return [arbre.license, arbre.exception].filter(Boolean).filter(id => {
    if (!MOTS[id])
      return true;
    return !MOTS[id].every(m => texte.includes(plat(m)));
  });
}

// The Debian source package that installed each file, as dpkg knows it here.
function Sources(fichiers) {
  const vrais = [...new Set(fichiers.map(f => fs.realpathSync(f)))];
  const dit = new Map();
  if (!vrais.length)
    return dit;
  let sortie = '';
  try {
    sortie = execFileSync('dpkg', ['-S', ...vrais], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] });
  } catch (e) {
    sortie = e.stdout || '';
  }
  const binaires = new Map();
  for (const l of sortie.split('\n')) {
    const m = l.match(/^([^:,]+)(?::[^:]+)?: (.+)$/);
    if (m)
      binaires.set(m[2], m[1]);
  }
  const noms = [...new Set(binaires.values())];
  const sources = new Map(noms.length ? execFileSync('dpkg-query', ['-W', '-f=${Package} ${source:Package}\n', ...noms],
    { encoding: 'utf8' }).trim().split('\n').map(l => l.split(' ')) : []);
  for (const f of fichiers)
    if (binaires.has(fs.realpathSync(f)))
      dit.set(f, sources.get(binaires.get(fs.realpathSync(f))));
  return dit;
}

// Our libraries, built into the cache (plateforme/bibliotheques), by the archive the
// link takes; Emscripten's own, which it builds into its cache when first asked.
const CACHE = { 'libfreetype.a': 'freetype', 'libjpeg.a': 'libjpeg-turbo', 'libgif.a': 'giflib',
                'libSDL.dll.a': 'libsdl1.2', 'libSDL_mixer.dll.a': 'sdl-mixer1.2' };
const EMSCRIPTEN = '/usr/share/emscripten/';
// Each of Emscripten's archives by the folders of its source it is built from, as a
// purl's subpath names them: libc.a holds musl and Emscripten's own C library.
const EMSCRIPTEN_ARCHIVES = {
  'libc.a': ['', 'system/lib/libc/musl'], 'libstubs.a': [''],
  'libc++.a': ['system/lib/libcxx'], 'libc++-noexcept.a': ['system/lib/libcxx'],
  'libc++abi.a': ['system/lib/libcxxabi'], 'libc++abi-noexcept.a': ['system/lib/libcxxabi'],
  'libcompiler_rt.a': ['system/lib/compiler-rt'], 'libdlmalloc.a': ['system/lib/dlmalloc.c'] };
// What a file of the release says of where it comes from.
const LIVRES = [[/^font\/.*\.ttf$/, 'fonts-blankenburg'], [/^SDL\.dll$/, 'libsdl1.2'],
                [/^SDL_mixer\.dll$/, 'sdl-mixer1.2']];

// Each Debian source package the release holds or its link took, with the file that says so.
function Attendus(dossier, release, trace, faute) {
  const attendus = new Map();
  for (const f of Fichiers(dossier))
    for (const [motif, source] of LIVRES)
      if (motif.test(f))
        attendus.set(source, f);
  if (release.endsWith('-setup.exe'))
    attendus.set('nsis', `${path.basename(release)}, made by makensis`);
  if (!trace)
    return attendus;
  const pris = [];
  for (const l of fs.readFileSync(trace, 'utf8').split('\n')) {
    // GNU ld: "(ARCHIVE)MEMBER", an archive alone only opened; wasm-ld: "ARCHIVE(MEMBER)".
    const m = l.match(/^\(([^)]+)\)/);
    const objet = m ? m[1] : /\.a$/.test(l) ? '' : l.replace(/\(.*/, '');
    if (objet.startsWith('/') && !objet.endsWith('/embedded_files.o'))
      pris.push(objet.replace(/^\/+/, '/'));
  }
  if (!pris.length)
    faute(`${trace}: no file outside the build read from the link's trace`);
  const dpkg = Sources(pris.filter(f => !f.startsWith(EMSCRIPTEN) && !CACHE[path.basename(f)]));
  for (const f of pris) {
    if (f.startsWith(EMSCRIPTEN)) {
      const dossiers = EMSCRIPTEN_ARCHIVES[path.basename(f)];
      if (!dossiers)
        faute(`the link took ${f}, an archive of Emscripten's not known here`);
      for (const d of dossiers || [])
        if (!attendus.has(`emscripten#${d}`))
          attendus.set(`emscripten#${d}`, `the link took ${f}`);
      continue;
    }
    const source = CACHE[path.basename(f)] || dpkg.get(f);
    if (!source)
      faute(`the link took ${f}, from no Debian package nor library known here`);
    else if (!attendus.has(source))
      attendus.set(source, `the link took ${f}`);
  }
  return attendus;
}

async function main() {
  const [texte, release, trace] = [fs.readFileSync(process.argv[2], 'utf8'), process.argv[3], process.argv[4]];
  const fautes = [];
  const faute = m => fautes.push(m);

  const validateur = new cdx.Validation.JsonStrictValidator(CYCLONEDX);
  const erreurs = await validateur.validate(texte);
  if (erreurs !== null)
    faute(`not valid CycloneDX 1.6: ${JSON.stringify(erreurs, null, 1)}`);

  const bom = JSON.parse(texte);
  const dossier = Deballer(release);
  const outils = bom.metadata?.tools?.components || [];
  const source = release.endsWith('.tar.xz');
  if (!source && !outils.length)
    faute('no compiler in metadata.tools.components');
  if (source && outils.length)
    faute('a compiler in metadata.tools.components of a source tarball');
  let lus = 0;
  for (const c of [...bom.components, ...outils]) {
    for (const l of c.licenses || []) {
      try {
        spdx(l.expression ?? l.license.id);
      } catch (e) {
        faute(`${c.name}: licence ${JSON.stringify(l)} is no SPDX expression (${e.message})`);
      }
    }
    if (c.purl) {
      try {
        const p = PackageURL.fromString(c.purl);
        if (c.version !== undefined && p.version !== c.version)
          faute(`${c.name}: purl version ${p.version}, component version ${c.version}`);
        // A source package's purl against the .dsc named among its sources, as Debian
        // names it (no epoch), under pool/…/NAME/; a tool's against dpkg here.
        const dsc = `${p.name}_${(p.version || '').replace(/^[0-9]+:/, '')}.dsc`;
        if (p.qualifiers?.arch === 'source' &&
            !(c.externalReferences || []).some(r => decodeURIComponent(r.url).endsWith(`/${p.name}/${dsc}`)))
          faute(`${c.name}: purl ${c.purl} names no ${dsc} of its sources`);
        if (outils.includes(c) && !release.endsWith('.deb')) {
          const v = execFileSync('dpkg-query', ['-W', '-f=${Version}', p.name], { encoding: 'utf8' });
          if (v !== p.version)
            faute(`${c.name}: purl ${c.purl}, and dpkg has ${p.name} ${v} here`);
        }
      } catch (e) {
        faute(`${c.name}: purl ${c.purl} does not parse, or names no package here (${e.message})`);
      }
    }
    if (c.type === 'file' || outils.includes(c))
      continue;
    if (c.scope !== 'required') {
      if (!c.licenses?.length)
        faute(`${c.name}: no licence`);
      // All but the game itself come from Debian: its source files, each with its sha256.
      const sources = (c.externalReferences || []).filter(r => r.type === 'source-distribution' &&
        r.hashes?.some(h => h.alg === 'SHA-256' && /^[0-9a-f]{64}$/.test(h.content)));
      if (c['bom-ref'] !== 'gavremo' && !sources.some(r => r.url.endsWith('.dsc')))
        faute(`${c.name}: no Debian source files with their sha256`);
      const notice = c.properties?.find(p => p.name === 'gavremo:notice')?.value;
      const [f, section] = (notice || '').split('#');
      const chemin = path.join(dossier, f);
      if (!notice) {
        faute(`${c.name}: no gavremo:notice`);
      } else if (!fs.existsSync(chemin)) {
        faute(`${c.name}: its notice ${f} is not in the release`);
      } else {
        let texte = fs.readFileSync(chemin, 'utf8');
        if (section) {
          const m = texte.match(new RegExp(`<section id="${section.replace(/[+]/g, '\\+')}">([\\s\\S]*?)</section>`));
          texte = m ? m[1].replace(/&lt;/g, '<').replace(/&gt;/g, '>').replace(/&amp;/g, '&') : '';
        }
        for (const l of c.licenses || []) {
          const manque = Manque(spdx(l.expression ?? l.license.id), plat(texte));
          if (manque.length)
            faute(`${c.name}: its notice ${notice} lacks the words of ${manque.join(', ')}`);
        }
        lus++;
      }
    }
  }

  if (!lus)
    faute('no notice read');
  // Each source package the release holds or took, named by a component's purl (and
  // Emscripten's, each folder of its source by one).
  const nommes = new Set();
  for (const c of bom.components)
    try {
      const p = PackageURL.fromString(c.purl);
      nommes.add(p.name);
      nommes.add(`${p.name}#${p.subpath || ''}`);
    } catch (e) { /* the game, or a purl already at fault */ }
  const attendus = Attendus(dossier, release, trace, faute);
  for (const [source, pourquoi] of attendus)
    if (!nommes.has(source))
      faute(`no component comes from Debian's ${source.replace(/#$/, '').replace('#', ', folder ')}, yet ${pourquoi}`);

  // The files shipped, each once with its sha256.
  const listes = new Map(bom.components.filter(c => c.type === 'file').map(c => [c.name, c.hashes[0].content]));
  for (const f of Fichiers(dossier).filter(f => !f.endsWith('.cdx.json') && !f.startsWith('DEBIAN/'))) {
    const somme = crypto.createHash('sha256').update(fs.readFileSync(path.join(dossier, f))).digest('hex');
    if (!listes.has(f))
      faute(`${f} ships and is not listed`);
    else if (listes.get(f) !== somme)
      faute(`${f}: sha256 ${somme}, listed ${listes.get(f)}`);
    listes.delete(f);
  }
  for (const f of listes.keys())
    faute(`${f} is listed and does not ship`);

  if (fautes.length) {
    console.log(fautes.join('\n'));
    process.exit(1);
  }
  console.log(`${process.argv[2]}: valid CycloneDX ${CYCLONEDX}, ${bom.components.length} components, ` +
              `each licence SPDX, each purl parsed, each file's sha256, ${lus} notices read, ` +
              `${attendus.size} source packages held or taken named`);
}

main().catch(e => { console.error(e); process.exit(1); });
