// A release's bill of materials checked against the release: valid CycloneDX 1.6
// (JsonStrictValidator); each licence an SPDX expression of SPDX identifiers; each purl
// parsed, its version the component's; each component but the game with its Debian
// source files' sha256; each shipped file listed with its sha256, and no other; each
// component inside the release with its notice there, not empty.
//   node nomenclature.js SBOM.cdx.json RELEASE   (a page's folder, a .zip, a setup .exe, a .deb
//                                                 or the source .tar.xz, which has no compiler)
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

async function main() {
  const [texte, release] = [fs.readFileSync(process.argv[2], 'utf8'), process.argv[3]];
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
      } catch (e) {
        faute(`${c.name}: purl ${c.purl} does not parse (${e.message})`);
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
      } else if (!fs.existsSync(chemin) || !/[a-z]/i.test(fs.readFileSync(chemin, 'utf8'))) {
        faute(`${c.name}: its notice ${f} is not in the release, or is empty`);
      } else if (section) {
        const html = fs.readFileSync(chemin, 'utf8');
        const m = html.match(new RegExp(`<section id="${section.replace(/[+]/g, '\\+')}">([\\s\\S]*?)</section>`));
        if (!m || !/<pre>[^<]*[a-z][^<]*<\/pre>/i.test(m[1]))
          faute(`${c.name}: no section ${section} with its text in ${f}`);
      }
    }
  }

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
              `each licence SPDX, each purl parsed, each file's sha256 and each notice found`);
}

main().catch(e => { console.error(e); process.exit(1); });
