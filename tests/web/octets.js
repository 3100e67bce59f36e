// What a first visit transfers from the server, counted on the server's sockets
// (headers included): the page loaded in a fresh Chromium, and its worker installed
// with the build's files. Once with brotli, once with gzip only, once uncompressed.
//   node octets.js [FOLDER]
const path = require('node:path');
const { projet, Navigateur, Attendre } = require('./outils');
const { Servir } = require('./servir');

async function Visite(dossier, options) {
  const fichiers = {}, prises = new Set();
  const serveur = await Servir(dossier, 0, '127.0.0.1', { ...options, journal: (req, flux) => {
    const res = flux.res;   // union's stream wraps Node's response
    res.on('finish', () => {
      const f = req.url.split('?')[0];
      const o = fichiers[f] ??= { requetes: 0, codes: [], encodage: '-' };
      o.requetes++;
      o.codes.push(res.statusCode);
      o.encodage = res.getHeader('content-encoding') || o.encodage;
    });
  } });
  serveur.server.on('connection', s => prises.add(s));
  const navigateur = await Navigateur();
  try {
    const page = await navigateur.newPage();
    await page.goto(serveur.adresse);
    // The worker has every file of the build, and nothing is on its way.
    await Attendre(page, async () => {
      const noms = await caches.keys();
      return noms.length === 1 && (await (await caches.open(noms[0])).keys()).length === 8;
    }, { timeout: 60000 });
    await new Promise(ok => setTimeout(ok, 1000));
    let octets = 0;
    for (const s of prises)
      octets += s.bytesWritten;
    return { octets, fichiers };
  } finally {
    await navigateur.close();
    serveur.close();
  }
}

async function main() {
  const dossier = path.resolve(process.argv[2] || path.join(projet, 'build-web/page'));
  for (const [nom, options] of [['brotli', {}], ['gzip', { brotli: false }], ['none', { brotli: false, gzip: false }]]) {
    const { octets, fichiers } = await Visite(dossier, options);
    console.log(`${nom}: ${octets} bytes sent`);
    for (const [f, o] of Object.entries(fichiers).sort())
      console.log(`  ${f} ${o.requetes} request(s), ${o.codes.join(' ')}, ${o.encodage}`);
  }
}

main().catch(e => { console.error(e); process.exit(1); });
