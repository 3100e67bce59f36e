// Prints how many passes a second the game makes in Chromium, on the real clock,
// over five seconds of play with the pointer still (the second target to escape,
// at six, ends the game). Run after scripts/web.sh.
const http = require('node:http');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const site = path.resolve(__dirname, '../../build-web/page');
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

(async () => {
  const serveur = http.createServer((req, res) => {
    const fichier = path.join(site, req.url === '/' ? 'index.html' : path.normalize(req.url));
    fs.readFile(fichier, (e, d) => {
      res.writeHead(e ? 404 : 200, { 'Content-Type': types[path.extname(fichier)] || 'application/octet-stream' });
      res.end(d);
    });
  });
  await new Promise(ok => serveur.listen(0, '127.0.0.1', ok));
  const navigateur = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), 'gavremo-chromium-')),
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--disable-dev-shm-usage'],
  });
  const page = await navigateur.newPage();
  await page.goto(`http://127.0.0.1:${serveur.address().port}/`);
  await page.waitForFunction(() => Module.calledRun && Module._Passes() > 0);
  const mesure = () => page.evaluate(() => [Module._Passes(), performance.now()]);
  const [n0, t0] = await mesure();
  await new Promise(ok => setTimeout(ok, 5000));
  const [n1, t1] = await mesure();
  console.log(`${((n1 - n0) * 1000 / (t1 - t0)).toFixed(0)} passes a second`);
  await navigateur.close();
  serveur.close();
})();
