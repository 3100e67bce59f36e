// Lighthouse 12.2.3 (tests/web/package.json) on a page, in Debian's Chromium with the
// tests' flags, on Lighthouse's default phone: a simulated slow 4G link, the CPU slowed
// 4 times, a 412 x 823 screen.
//   node phare.js [RUNS]   the benchmark: the game's page and a bare Emscripten SDL page,
//                          each served as scripts/web.sh --serve serves it, RUNS times
//                          (3 by default), medians and each run's figures
const { spawn, execFileSync } = require('node:child_process');
const fs = require('node:fs');
const net = require('node:net');
const path = require('node:path');
const { projet, PAGE, Mediane, Navigateur, attendre } = require('./outils');

// One Lighthouse run on url in a Chromium of its own: its categories' scores out of 100,
// what failed, and the timing figures.
async function Phare(url, categories = ['performance', 'accessibility', 'best-practices', 'seo']) {
  const { default: lighthouse } = await import('lighthouse');
  const navigateur = await Navigateur();
  try {
    const port = new URL(navigateur.wsEndpoint()).port;
    const { lhr } = await lighthouse(url, { port, output: 'json', logLevel: 'error', onlyCategories: categories });
    const notes = {}, echecs = [];
    for (const [nom, c] of Object.entries(lhr.categories)) {
      notes[nom] = Math.round(c.score * 100);
      for (const r of c.auditRefs) {
        const a = lhr.audits[r.id];
        if (r.weight > 0 && a.score !== null && a.score < 1)
          echecs.push(`${nom}: ${r.id} (${a.title})`);
      }
    }
    const a = lhr.audits;
    const taches = a['long-tasks']?.details?.items || [];
    return {
      notes, echecs,
      tbt: a['total-blocking-time']?.numericValue,
      fid: a['max-potential-fid']?.numericValue,
      tti: a['interactive']?.numericValue,
      lcp: a['largest-contentful-paint']?.numericValue,
      longue: Math.max(0, ...taches.map(t => t.duration)),
      taches: taches.slice(0, 5).map(t => `${Math.round(t.duration)} ms ${t.url.split('/').pop() || t.url}`),
    };
  } finally {
    await navigateur.close();
  }
}

// FOLDER served by scripts/web.sh --serve-built on a free port, until arreter().
async function Servi(dossier) {
  const port = await new Promise(ok => {
    const s = net.createServer().listen(0, '127.0.0.1', () => { const p = s.address().port; s.close(() => ok(p)); });
  });
  const serveur = spawn(path.join(projet, 'scripts/web.sh'), ['--serve-built', dossier],
                        { env: { ...process.env, PORT: String(port) }, stdio: ['ignore', 'pipe', 'inherit'] });
  process.once('exit', () => serveur.kill());
  const adresse = `http://127.0.0.1:${port}/`;
  for (let i = 0; !await fetch(adresse).then(r => r.ok, () => false); i++) {
    if (i === 300 || serveur.exitCode !== null) {
      serveur.kill();
      throw new Error('scripts/web.sh --serve-built did not serve');
    }
    await attendre(100);
  }
  return { adresse, arreter: () => serveur.kill() };
}

// The bare page, built with the page's compiler and -O2, and compressed as the page is.
function PageNue() {
  const dossier = path.join(projet, 'build-web/nu');
  fs.mkdirSync(dossier, { recursive: true });
  fs.copyFileSync(path.join(__dirname, 'nu-sdl/index.html'), path.join(dossier, 'index.html'));
  execFileSync('emcc', ['-O2', '-sUSE_SDL=1', '-o', path.join(dossier, 'nu.js'), path.join(__dirname, 'nu-sdl/nu.c')],
               { env: { ...process.env, EMSDK_PYTHON: '/usr/bin/python3', NODE_PATH: '/usr/share/nodejs' } });
  for (const f of ['index.html', 'nu.js', 'nu.wasm']) {
    execFileSync('brotli', ['-q', '11', '-f', path.join(dossier, f)]);
    execFileSync('sh', ['-c', `gzip -9n -c "$0" > "$0.gz"`, path.join(dossier, f)]);
  }
  return dossier;
}

// The game's page and the bare one, each served in turn FOIS times (alternated, so
// that a busier moment of the machine falls on both): faire(name, address, run).
async function EnAlternance(fois, faire) {
  const pages = { page: PAGE, nue: PageNue() };
  for (let i = 0; i < fois; i++) {
    for (const [nom, dossier] of Object.entries(pages)) {
      const servi = await Servi(dossier);
      try {
        await faire(nom, servi.adresse, i);
      } finally {
        servi.arreter();
      }
    }
  }
}

async function main() {
  const fois = +(process.argv[2] || 3);
  const resultats = { page: [], nue: [] };
  await EnAlternance(fois, async (nom, adresse, i) => {
    const r = await Phare(adresse);
    resultats[nom].push(r);
    console.log(`${nom} run ${i + 1}: ${JSON.stringify(r.notes)} TBT ${Math.round(r.tbt)} ms, ` +
                `longest task ${Math.round(r.longue)} ms, max FID ${Math.round(r.fid)} ms; ${r.taches.join(', ')}`);
    for (const e of r.echecs)
      console.log(`  ${e}`);
  });
  console.log(`== medians of ${fois} runs, ${fs.readFileSync('/proc/loadavg', 'utf8').trim()} (load now)`);
  for (const [nom, r] of Object.entries(resultats)) {
    const m = k => Math.round(Mediane(r.map(x => x[k])));
    const n = c => Mediane(r.map(x => x.notes[c]));
    console.log(`${nom}: performance ${n('performance')}, accessibility ${n('accessibility')}, ` +
                `best practices ${n('best-practices')}, SEO ${n('seo')}; TBT ${m('tbt')} ms, ` +
                `longest task ${m('longue')} ms, max FID ${m('fid')} ms, TTI ${m('tti')} ms, LCP ${m('lcp')} ms`);
  }
}

if (require.main === module)
  main().catch(e => { console.error(e); process.exit(1); });

module.exports = { Phare, Servi, EnAlternance };
