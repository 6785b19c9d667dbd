-- The demo database of the TarnvaleDemo data source: a small shop worth querying.
create table customers (
  id integer primary key,
  name varchar(40) not null,
  city varchar(30),
  joined date
);
create table products (
  id integer primary key,
  name varchar(40) not null,
  category varchar(20),
  price numeric(10,2) not null
);
create table orders (
  id integer primary key,
  customer_id integer not null references customers(id),
  ordered_at timestamp not null,
  status varchar(12) not null
);
create table order_items (
  order_id integer not null references orders(id),
  product_id integer not null references products(id),
  quantity integer not null,
  primary key (order_id, product_id)
);
create index ix_orders_customer on orders (customer_id);

insert into customers values
  (1, '张伟', '北京', '2021-03-14'),
  (2, 'Maria Rossi', 'Milano', '2021-07-02'),
  (3, '李娜', '上海', '2022-01-20'),
  (4, 'John Carter', 'Boston', '2022-05-11'),
  (5, '王芳', '广州', '2023-02-08'),
  (6, 'Aiko Tanaka', 'Osaka', '2023-09-30'),
  (7, '陈静', '杭州', '2024-04-17'),
  (8, 'Lukas Weber', 'Berlin', null);

insert into products values
  (1, '绿茶 (250g)', '茶叶', 38.50),
  (2, 'Espresso beans 1kg', 'coffee', 119.00),
  (3, '乌龙茶 (500g)', '茶叶', 86.00),
  (4, 'Ceramic mug', 'kitchen', 24.90),
  (5, '紫砂壶', 'kitchen', 268.00),
  (6, 'Pour-over kettle', 'kitchen', 179.00),
  (7, '普洱茶饼', '茶叶', 152.00),
  (8, 'Milk frother', 'kitchen', 45.00);

insert into orders values
  (101, 1, '2024-05-02 09:15:00', 'shipped'),
  (102, 3, '2024-05-03 14:40:12', 'shipped'),
  (103, 2, '2024-05-05 18:02:45', 'paid'),
  (104, 5, '2024-05-08 11:30:00', 'shipped'),
  (105, 1, '2024-05-09 20:11:09', 'cancelled'),
  (106, 4, '2024-05-12 08:05:33', 'paid'),
  (107, 7, '2024-05-15 16:45:00', 'new'),
  (108, 6, '2024-05-18 10:20:18', 'new');

insert into order_items values
  (101, 1, 2), (101, 4, 1),
  (102, 3, 1), (102, 5, 1),
  (103, 2, 3),
  (104, 7, 2), (104, 1, 1),
  (105, 6, 1),
  (106, 2, 1), (106, 8, 2),
  (107, 5, 1), (107, 3, 2),
  (108, 4, 4);

create view order_totals as
  select o.id as order_id, c.name as customer, o.ordered_at, o.status,
         sum(i.quantity * p.price) as total
  from orders o
  join customers c on c.id = o.customer_id
  join order_items i on i.order_id = o.id
  join products p on p.id = i.product_id
  group by o.id, c.name, o.ordered_at, o.status;
