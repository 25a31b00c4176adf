-- Orla Contas demo database: every table and view the bank-accounts module reads.
--
-- SQLite stand-in for the suite's SQL Server database. Conventions:
--   * dates are TEXT 'yyyy-mm-dd hh:mm:ss' (the server's wall-clock datetime); a CHECK refuses
--     any other text, a day that does not exist and years before 1753;
--   * money columns are NUMERIC holding amounts with at most 4 decimals; a CHECK refuses text;
--   * other text columns are COLLATE NOCASE: on the component's connections NOCASE is the
--     server's comparison (letter case ignored, accents kept, trailing blanks ignored,
--     Portuguese order), in the stock sqlite3 shell SQLite's own. The two orders differ, so no
--     index is ordered by a NOCASE column (the component refuses a file with one); uniqueness
--     of codes and names is kept by triggers instead;
--   * flags (system, protected, inactivo, predef) are INTEGER 0/1, sometimes NULL;
--   * column names are lower case with underscores, as the module's statements use them.
-- Run once on an empty database, before seed.sql.

-- ---------------------------------------------------------------- companies, warehouses, contacts

CREATE TABLE tbContactos (
    contacto_id      INTEGER PRIMARY KEY,
    nome_union       TEXT NOT NULL COLLATE NOCASE,  -- full name or company name
    nome_abreviado   TEXT COLLATE NOCASE,
    tipo             TEXT COLLATE NOCASE,    -- 'E' empresa, 'C' cliente, 'F' fornecedor, 'P' paciente, 'U' utilizador
    no_contribuinte  TEXT COLLATE NOCASE,    -- NIF
    morada           TEXT COLLATE NOCASE,
    cod_postal       TEXT COLLATE NOCASE,
    localidade       TEXT COLLATE NOCASE,
    pais             TEXT COLLATE NOCASE,
    telefone         TEXT COLLATE NOCASE,
    telemovel        TEXT COLLATE NOCASE,
    fax              TEXT COLLATE NOCASE,
    email            TEXT COLLATE NOCASE,
    inactivo         INTEGER
);

CREATE TABLE tbEmpresas (
    empresa_id       INTEGER PRIMARY KEY,
    contacto_id      INTEGER REFERENCES tbContactos (contacto_id),
    tipo_sociedade   TEXT COLLATE NOCASE,
    capital          NUMERIC CHECK (typeof(capital) IN ('integer', 'real', 'null')),
    nib              TEXT COLLATE NOCASE,
    certificado      TEXT COLLATE NOCASE,
    conservatoria    TEXT COLLATE NOCASE,
    predef           INTEGER
);

CREATE TABLE tbArmazens (
    armazem_id       INTEGER PRIMARY KEY,
    descrit          TEXT NOT NULL COLLATE NOCASE,
    empresa_id       INTEGER REFERENCES tbEmpresas (empresa_id),
    morada           TEXT COLLATE NOCASE,
    cod_postal       TEXT COLLATE NOCASE,
    localidade       TEXT COLLATE NOCASE,
    predef           INTEGER
);

-- ---------------------------------------------------------------- security

CREATE TABLE tbUsers (
    user_id          INTEGER PRIMARY KEY,
    code             TEXT NOT NULL COLLATE NOCASE,  -- matched with LIKE '%code%' in tbSecurityPolicies.users_groups
    descrit          TEXT NOT NULL COLLATE NOCASE,  -- the login / user name the context holds
    armazem_id       INTEGER REFERENCES tbArmazens (armazem_id),
    contacto_id      INTEGER REFERENCES tbContactos (contacto_id),
    inactivo         INTEGER
);

CREATE TABLE tbGroups (
    group_id         INTEGER PRIMARY KEY,
    code             TEXT NOT NULL COLLATE NOCASE,  -- matched with LIKE '%code%' in tbSecurityPolicies.users_groups
    descrit          TEXT COLLATE NOCASE
);

CREATE TABLE tbGroups_Users_Links (
    group_id         INTEGER NOT NULL REFERENCES tbGroups (group_id),
    user_id          INTEGER NOT NULL REFERENCES tbUsers (user_id),
    PRIMARY KEY (group_id, user_id)
);

CREATE TABLE tbSecurityPolicies (
    code             TEXT NOT NULL COLLATE NOCASE,  -- '#2301' ...
    descrit          TEXT COLLATE NOCASE,
    users_groups     TEXT COLLATE NOCASE     -- user and group codes holding the policy, ';'-separated
);

-- Codes and user names are unique as the server compares them.
CREATE TRIGGER tbUsers_Unico BEFORE INSERT ON tbUsers
WHEN EXISTS (SELECT 1 FROM tbUsers WHERE code = NEW.code OR descrit = NEW.descrit)
BEGIN SELECT RAISE(ABORT, 'tbUsers: code and descrit must be unique'); END;
CREATE TRIGGER tbUsers_Unico_Alterado BEFORE UPDATE OF code, descrit ON tbUsers
WHEN EXISTS (SELECT 1 FROM tbUsers WHERE user_id <> NEW.user_id
             AND (code = NEW.code OR descrit = NEW.descrit))
BEGIN SELECT RAISE(ABORT, 'tbUsers: code and descrit must be unique'); END;
CREATE TRIGGER tbGroups_Unico BEFORE INSERT ON tbGroups
WHEN EXISTS (SELECT 1 FROM tbGroups WHERE code = NEW.code)
BEGIN SELECT RAISE(ABORT, 'tbGroups: code must be unique'); END;
CREATE TRIGGER tbGroups_Unico_Alterado BEFORE UPDATE OF code ON tbGroups
WHEN EXISTS (SELECT 1 FROM tbGroups WHERE group_id <> NEW.group_id AND code = NEW.code)
BEGIN SELECT RAISE(ABORT, 'tbGroups: code must be unique'); END;
CREATE TRIGGER tbSecurityPolicies_Unico BEFORE INSERT ON tbSecurityPolicies
WHEN EXISTS (SELECT 1 FROM tbSecurityPolicies WHERE code = NEW.code)
BEGIN SELECT RAISE(ABORT, 'tbSecurityPolicies: code must be unique'); END;
CREATE TRIGGER tbSecurityPolicies_Unico_Alterado BEFORE UPDATE OF code ON tbSecurityPolicies
WHEN EXISTS (SELECT 1 FROM tbSecurityPolicies WHERE rowid <> NEW.rowid AND code = NEW.code)
BEGIN SELECT RAISE(ABORT, 'tbSecurityPolicies: code must be unique'); END;

CREATE TABLE tbTemplates (
    template_id      INTEGER PRIMARY KEY,
    filename         TEXT NOT NULL COLLATE NOCASE,  -- 'Extrato_Conta.doc', 'logo.jpg' ...
    descrit          TEXT COLLATE NOCASE,
    code             BLOB,                   -- the template's content (RTF/HTML text or image bytes)
    group_code       TEXT COLLATE NOCASE,    -- owning group, NULL for a general template
    user_code        TEXT COLLATE NOCASE,    -- owning user, NULL for a general template
    predef           INTEGER
);

-- ---------------------------------------------------------------- accounts and payment methods

CREATE TABLE tbModos_Pagamento (
    modo_pagamento_id INTEGER PRIMARY KEY,
    descrit          TEXT NOT NULL COLLATE NOCASE,
    inactivo         INTEGER
);

CREATE TABLE tbContas_Bancarias (
    conta_id         INTEGER PRIMARY KEY,
    descrit          TEXT NOT NULL COLLATE NOCASE,
    banco            TEXT COLLATE NOCASE,
    iban             TEXT COLLATE NOCASE,
    swift            TEXT COLLATE NOCASE,
    saldo            NUMERIC CHECK (typeof(saldo) IN ('integer', 'real', 'null')),  -- opening balance at saldo_data
    saldo_data       TEXT CHECK (datetime(saldo_data, '+0 seconds') IS saldo_data AND saldo_data >= '1753'),  -- movements count towards the balance from this date
    data_closed      TEXT CHECK (datetime(data_closed, '+0 seconds') IS data_closed AND data_closed >= '1753'),  -- last day of the closed (reconciled) period
    system           INTEGER,
    protected        INTEGER,
    inactivo         INTEGER
);

CREATE TABLE tbContas_Bancarias_Transferencias (
    trf_id           INTEGER PRIMARY KEY AUTOINCREMENT,
    data             TEXT CHECK (datetime(data, '+0 seconds') IS data AND data >= '1753'),  -- leaves the origin account
    data_debito      TEXT CHECK (datetime(data_debito, '+0 seconds') IS data_debito AND data_debito >= '1753'),  -- bank date at the origin
    data_destino     TEXT CHECK (datetime(data_destino, '+0 seconds') IS data_destino AND data_destino >= '1753'),  -- reaches the destination account
    data_debito_destino TEXT CHECK (datetime(data_debito_destino, '+0 seconds') IS data_debito_destino AND data_debito_destino >= '1753'),  -- bank date at the destination
    origem_id        INTEGER REFERENCES tbContas_Bancarias (conta_id),
    destino_id       INTEGER REFERENCES tbContas_Bancarias (conta_id),
    valor            NUMERIC CHECK (typeof(valor) IN ('integer', 'real', 'null')),
    obs              TEXT COLLATE NOCASE,
    modo_pagamento_id INTEGER REFERENCES tbModos_Pagamento (modo_pagamento_id),
    system           INTEGER
);

-- ---------------------------------------------------------------- source documents of the movements

-- Origin 1: receipts of sales documents (money in).
CREATE TABLE tbDocumentos_Recibos (
    recibo_id        INTEGER PRIMARY KEY,
    armazem_id       INTEGER NOT NULL REFERENCES tbArmazens (armazem_id),
    documento_no     TEXT COLLATE NOCASE,    -- 'RC 1/2025/0012'
    data             TEXT CHECK (datetime(data, '+0 seconds') IS data AND data >= '1753'),  -- when the record was entered
    data_documento   TEXT CHECK (datetime(data_documento, '+0 seconds') IS data_documento AND data_documento >= '1753'),  -- the document's date
    data_debito      TEXT CHECK (datetime(data_debito, '+0 seconds') IS data_debito AND data_debito >= '1753'),  -- bank date (reconciled when not NULL)
    contacto_id      INTEGER REFERENCES tbContactos (contacto_id),
    conta_id         INTEGER REFERENCES tbContas_Bancarias (conta_id),
    modo_pagamento_id INTEGER REFERENCES tbModos_Pagamento (modo_pagamento_id),
    valor            NUMERIC CHECK (typeof(valor) IN ('integer', 'real', 'null')),
    referencia       TEXT COLLATE NOCASE,
    obs              TEXT COLLATE NOCASE
);

-- Origin 2: supplier receipts (money out).
CREATE TABLE tbDocumentos_Fornec_Recibos (
    recibo_id        INTEGER PRIMARY KEY,
    armazem_id       INTEGER NOT NULL REFERENCES tbArmazens (armazem_id),
    documento_no     TEXT COLLATE NOCASE,
    data             TEXT CHECK (datetime(data, '+0 seconds') IS data AND data >= '1753'),
    data_documento   TEXT CHECK (datetime(data_documento, '+0 seconds') IS data_documento AND data_documento >= '1753'),
    data_debito      TEXT CHECK (datetime(data_debito, '+0 seconds') IS data_debito AND data_debito >= '1753'),
    contacto_id      INTEGER REFERENCES tbContactos (contacto_id),
    conta_id         INTEGER REFERENCES tbContas_Bancarias (conta_id),
    modo_pagamento_id INTEGER REFERENCES tbModos_Pagamento (modo_pagamento_id),
    valor            NUMERIC CHECK (typeof(valor) IN ('integer', 'real', 'null')),
    referencia       TEXT COLLATE NOCASE,
    obs              TEXT COLLATE NOCASE
);

-- Origin 3: cost receipts (money out).
CREATE TABLE tbCustos_Recibos (
    recibo_id        INTEGER PRIMARY KEY,
    armazem_id       INTEGER REFERENCES tbArmazens (armazem_id),
    documento_no     TEXT COLLATE NOCASE,
    data             TEXT CHECK (datetime(data, '+0 seconds') IS data AND data >= '1753'),
    data_documento   TEXT CHECK (datetime(data_documento, '+0 seconds') IS data_documento AND data_documento >= '1753'),
    data_debito      TEXT CHECK (datetime(data_debito, '+0 seconds') IS data_debito AND data_debito >= '1753'),
    contacto_id      INTEGER REFERENCES tbContactos (contacto_id),
    conta_id         INTEGER REFERENCES tbContas_Bancarias (conta_id),
    modo_pagamento_id INTEGER REFERENCES tbModos_Pagamento (modo_pagamento_id),
    valor            NUMERIC CHECK (typeof(valor) IN ('integer', 'real', 'null')),
    referencia       TEXT COLLATE NOCASE,
    descrit          TEXT COLLATE NOCASE     -- what the cost was
);

-- Origin 7: payments received for documents (money in).
CREATE TABLE tbDocumentos_Pagamentos (
    pag_id           INTEGER PRIMARY KEY,
    armazem_id       INTEGER NOT NULL REFERENCES tbArmazens (armazem_id),
    documento_main_id INTEGER NOT NULL,      -- the paid document
    tipo_documento   TEXT COLLATE NOCASE,    -- 'Fatura', 'Fatura-Recibo' ...
    documento_no     TEXT COLLATE NOCASE,    -- number of the paid document
    data             TEXT CHECK (datetime(data, '+0 seconds') IS data AND data >= '1753'),
    data_debito      TEXT CHECK (datetime(data_debito, '+0 seconds') IS data_debito AND data_debito >= '1753'),
    contacto_id      INTEGER REFERENCES tbContactos (contacto_id),
    conta_id         INTEGER REFERENCES tbContas_Bancarias (conta_id),
    modo_pagamento_id INTEGER REFERENCES tbModos_Pagamento (modo_pagamento_id),
    valor            NUMERIC CHECK (typeof(valor) IN ('integer', 'real', 'null')),
    referencia       TEXT COLLATE NOCASE,
    utilizador       TEXT COLLATE NOCASE     -- name of the user who issued the document
);

-- Origin 10: patient treatment receipts (money in, not subject to reconciliation).
CREATE TABLE tbPacientes_Tratamentos_Recibos (
    recibo_id        INTEGER PRIMARY KEY,
    armazem_id       INTEGER REFERENCES tbArmazens (armazem_id),
    documento_no     TEXT COLLATE NOCASE,
    data             TEXT CHECK (datetime(data, '+0 seconds') IS data AND data >= '1753'),
    contacto_id      INTEGER REFERENCES tbContactos (contacto_id),   -- the patient
    conta_id         INTEGER REFERENCES tbContas_Bancarias (conta_id),
    modo_pagamento_id INTEGER REFERENCES tbModos_Pagamento (modo_pagamento_id),
    valor            NUMERIC CHECK (typeof(valor) IN ('integer', 'real', 'null')),
    referencia       TEXT COLLATE NOCASE,
    tratamento       TEXT COLLATE NOCASE
);

-- Origins 5 and 6: bank charges (5) and interest (6) posted straight on an account,
-- not subject to reconciliation. Amounts are kept per side; a NULL side is possible.
CREATE TABLE tbContas_Bancarias_Movimentos (
    mov_id           INTEGER PRIMARY KEY,
    origem_id        INTEGER NOT NULL CHECK (origem_id IN (5, 6)),
    conta_id         INTEGER NOT NULL REFERENCES tbContas_Bancarias (conta_id),
    armazem_id       INTEGER DEFAULT 0,
    data             TEXT CHECK (datetime(data, '+0 seconds') IS data AND data >= '1753'),
    debito           NUMERIC CHECK (typeof(debito) IN ('integer', 'real', 'null')),
    credito          NUMERIC CHECK (typeof(credito) IN ('integer', 'real', 'null')),
    modo_pagamento_id INTEGER REFERENCES tbModos_Pagamento (modo_pagamento_id),
    documento_no     TEXT COLLATE NOCASE,
    referencia       TEXT COLLATE NOCASE,
    descrit          TEXT COLLATE NOCASE
);

CREATE INDEX ixRecibos_Conta ON tbDocumentos_Recibos (conta_id);
CREATE INDEX ixFornec_Recibos_Conta ON tbDocumentos_Fornec_Recibos (conta_id);
CREATE INDEX ixCustos_Recibos_Conta ON tbCustos_Recibos (conta_id);
CREATE INDEX ixPagamentos_Conta ON tbDocumentos_Pagamentos (conta_id);
CREATE INDEX ixPacientes_Recibos_Conta ON tbPacientes_Tratamentos_Recibos (conta_id);
CREATE INDEX ixMovimentos_Conta ON tbContas_Bancarias_Movimentos (conta_id);
CREATE INDEX ixTransferencias_Origem ON tbContas_Bancarias_Transferencias (origem_id);
CREATE INDEX ixTransferencias_Destino ON tbContas_Bancarias_Transferencias (destino_id);

-- ---------------------------------------------------------------- views

-- The accounts as lists show them: descrit2 is the shown text ("Millennium BCP - Conta à ordem 0001234-5").
CREATE VIEW vwContas_Bancarias AS
SELECT conta_id,
       descrit,
       CASE WHEN banco IS NULL OR banco = '' THEN descrit ELSE banco || ' - ' || descrit END
           COLLATE NOCASE AS descrit2,
       inactivo,
       protected,
       system
FROM tbContas_Bancarias;

-- One row per company, with the contact data of its contact record.
CREATE VIEW vwEmpresas_Completo AS
SELECT e.empresa_id,
       c.no_contribuinte,
       c.nome_union,
       c.morada,
       c.cod_postal,
       c.localidade,
       c.pais,
       c.telefone,
       c.email,
       c.fax,
       e.tipo_sociedade,
       e.capital,
       e.nib,
       e.certificado
FROM tbEmpresas e
LEFT JOIN tbContactos c ON c.contacto_id = e.contacto_id;

-- The documents that payments refer to, with what an e-mail about them needs.
CREATE VIEW vwDocumentos AS
SELECT p.documento_main_id,
       p.armazem_id,
       c.email AS fax_email,
       MAX(p.tipo_documento) AS tipo,
       MAX(p.documento_no) AS documento_no,
       MAX(p.utilizador) AS utilizador,
       c.nome_union AS nome
FROM tbDocumentos_Pagamentos p
LEFT JOIN tbContactos c ON c.contacto_id = p.contacto_id
GROUP BY p.documento_main_id, p.armazem_id;

-- Every movement once per account it touches (a transfer twice: origin 4 on the account it
-- leaves, origin 40 on the account it enters). concil = 1 when the source has a bank date,
-- and data is then that bank date; otherwise data is the record's own date.
CREATE VIEW vwExtractos_Contas_Bancarias AS
SELECT r.conta_id,
       COALESCE(r.data_debito, r.data_documento, r.data) AS data,
       r.valor AS debito,
       0 AS credito,
       CASE WHEN r.data_debito IS NULL THEN 0 ELSE 1 END AS concil,
       r.modo_pagamento_id,
       m.descrit AS modo_pagamento,
       1 AS origem_id,
       'Recibo' COLLATE NOCASE AS origem,
       r.armazem_id,
       r.recibo_id AS doc_id,
       r.documento_no AS doc_no,
       r.referencia,
       c.nome_union AS nome_completo
FROM tbDocumentos_Recibos r
LEFT JOIN tbModos_Pagamento m ON m.modo_pagamento_id = r.modo_pagamento_id
LEFT JOIN tbContactos c ON c.contacto_id = r.contacto_id
UNION ALL
SELECT r.conta_id,
       COALESCE(r.data_debito, r.data_documento, r.data),
       0,
       r.valor,
       CASE WHEN r.data_debito IS NULL THEN 0 ELSE 1 END,
       r.modo_pagamento_id,
       m.descrit,
       2,
       'Recibo Fornecedor',
       r.armazem_id,
       r.recibo_id,
       r.documento_no,
       r.referencia,
       c.nome_union
FROM tbDocumentos_Fornec_Recibos r
LEFT JOIN tbModos_Pagamento m ON m.modo_pagamento_id = r.modo_pagamento_id
LEFT JOIN tbContactos c ON c.contacto_id = r.contacto_id
UNION ALL
SELECT r.conta_id,
       COALESCE(r.data_debito, r.data_documento, r.data),
       0,
       r.valor,
       CASE WHEN r.data_debito IS NULL THEN 0 ELSE 1 END,
       r.modo_pagamento_id,
       m.descrit,
       3,
       'Recibo Custo',
       COALESCE(r.armazem_id, 0),
       r.recibo_id,
       r.documento_no,
       r.referencia,
       c.nome_union
FROM tbCustos_Recibos r
LEFT JOIN tbModos_Pagamento m ON m.modo_pagamento_id = r.modo_pagamento_id
LEFT JOIN tbContactos c ON c.contacto_id = r.contacto_id
UNION ALL
SELECT t.origem_id,
       COALESCE(t.data_debito, t.data),
       0,
       t.valor,
       CASE WHEN t.data_debito IS NULL THEN 0 ELSE 1 END,
       t.modo_pagamento_id,
       m.descrit,
       4,
       'Transferência',
       0,
       t.trf_id,
       'TRF ' || t.trf_id,
       t.obs,
       d.descrit2
FROM tbContas_Bancarias_Transferencias t
LEFT JOIN tbModos_Pagamento m ON m.modo_pagamento_id = t.modo_pagamento_id
LEFT JOIN vwContas_Bancarias d ON d.conta_id = t.destino_id
UNION ALL
SELECT t.destino_id,
       COALESCE(t.data_debito_destino, t.data_destino, t.data),
       t.valor,
       0,
       CASE WHEN t.data_debito_destino IS NULL THEN 0 ELSE 1 END,
       t.modo_pagamento_id,
       m.descrit,
       40,
       'Transferência Recebida',
       0,
       t.trf_id,
       'TRF ' || t.trf_id,
       t.obs,
       o.descrit2
FROM tbContas_Bancarias_Transferencias t
LEFT JOIN tbModos_Pagamento m ON m.modo_pagamento_id = t.modo_pagamento_id
LEFT JOIN vwContas_Bancarias o ON o.conta_id = t.origem_id
UNION ALL
SELECT v.conta_id,
       v.data,
       v.debito,
       v.credito,
       0,
       v.modo_pagamento_id,
       m.descrit,
       v.origem_id,
       CASE v.origem_id WHEN 5 THEN 'Despesas Bancárias' ELSE 'Juros' END,
       COALESCE(v.armazem_id, 0),
       v.mov_id,
       v.documento_no,
       v.referencia,
       COALESCE(b.banco, b.descrit)
FROM tbContas_Bancarias_Movimentos v
LEFT JOIN tbModos_Pagamento m ON m.modo_pagamento_id = v.modo_pagamento_id
LEFT JOIN tbContas_Bancarias b ON b.conta_id = v.conta_id
UNION ALL
SELECT p.conta_id,
       COALESCE(p.data_debito, p.data),
       p.valor,
       0,
       CASE WHEN p.data_debito IS NULL THEN 0 ELSE 1 END,
       p.modo_pagamento_id,
       m.descrit,
       7,
       'Pagamento',
       p.armazem_id,
       p.pag_id,
       p.documento_no,
       p.referencia,
       c.nome_union
FROM tbDocumentos_Pagamentos p
LEFT JOIN tbModos_Pagamento m ON m.modo_pagamento_id = p.modo_pagamento_id
LEFT JOIN tbContactos c ON c.contacto_id = p.contacto_id
UNION ALL
SELECT r.conta_id,
       r.data,
       r.valor,
       0,
       0,
       r.modo_pagamento_id,
       m.descrit,
       10,
       'Recibo Paciente',
       COALESCE(r.armazem_id, 0),
       r.recibo_id,
       r.documento_no,
       r.referencia,
       c.nome_union
FROM tbPacientes_Tratamentos_Recibos r
LEFT JOIN tbModos_Pagamento m ON m.modo_pagamento_id = r.modo_pagamento_id
LEFT JOIN tbContactos c ON c.contacto_id = r.contacto_id;
